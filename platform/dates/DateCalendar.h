// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The calendar helpers that the date services share between their files: seconds and day
// indexes since 1899-12-30, the month and weekday names. Not for use outside platform/dates.

#include "DateArithmetic.h"

#include <array>

namespace kestrel::calendar {

constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kWeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

// Seconds since 1899-12-30 00:00, the date value rounded to the nearest second; error 5 outside
// the range of a date.
long long ToSeconds(DateValue value);
// The day (days since 1899-12-30) that a second lies in.
long long DayIndex(long long seconds);
// The day of a calendar date.
long long DayIndexOf(int year, unsigned month, unsigned day);
// 1 (Sunday) to 7 (Saturday).
int WeekdayOfIndex(long long dayIndex);
// The number of days in a month (1 to 12) of a year.
unsigned DaysInMonth(int year, unsigned month);
// Years 0 to 29 mean 2000 to 2029, 30 to 99 mean 1930 to 1999; others stand as they are.
int WindowYear(long long year);

} // namespace kestrel::calendar
