// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkDays.h"

namespace kestrel {

long long WeekendDays(DateValue from, DateValue to)
{
    return 2 * DateDiff("ww", from, to);
}

long long WorkDayCount(DateValue from, DateValue to)
{
    return DateDiff("d", from, to) - WeekendDays(from, to);
}

} // namespace kestrel
