// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateArithmetic.h"

namespace kestrel::test {

// A moment written as the tests read it: At(1999, 12, 30, 15, 20, 45).
inline DateValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return PackDateTime(y, mo, d, h, mi, s);
}

} // namespace kestrel::test
