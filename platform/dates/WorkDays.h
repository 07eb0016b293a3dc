// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"

namespace kestrel {

// The work-day rule every count in work days follows: two days off for every Sunday after
// `from` up to and including `to` (Sunday is the first day of the week). Negative when `to` is
// earlier than `from`, so that a count back in time loses its weekends too.
long long WeekendDays(DateValue from, DateValue to);

// The midnights crossed from `from` to `to` less the weekend days between them: Monday 3 to
// Monday 10 January 2000 is 5, a Friday to the next Monday 1, a Saturday to the next day -1.
long long WorkDayCount(DateValue from, DateValue to);

} // namespace kestrel
