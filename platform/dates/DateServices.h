// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The date services: date values and arithmetic, reading dates, formatting dates, and reading and
// formatting numbers.

#include "DateArithmetic.h"
#include "DateFormatting.h"
#include "DateReading.h"
#include "NumberFormatting.h"
