// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Formatting dates by a pattern, and the month and weekday names.

#include "DateArithmetic.h"

#include <string>
#include <string_view>

namespace kestrel {

// A date formatted by a pattern whose tokens may be in any case: "d", "dd" day; "ddd", "dddd"
// weekday name; "ddddd" short date (m/d/yyyy); "dddddd" long date; "w" weekday number; "ww" week of
// the year; "m", "mm" month number (minutes after an hour token or before a seconds token);
// "mmm", "mmmm" month name; "q" quarter; "y" day of the year; "yy", "yyyy" year; "h", "hh" hour;
// "n", "nn" minute; "s", "ss" second; "AM/PM", "am/pm", "A/P", "a/p" a 12-hour clock. Text in
// double quotes and a character after "\" are copied as they are, as is every other character.
std::string Format(DateValue value, std::string_view pattern);
// The pattern of a local date and time as status bars and state files write it,
// "yyyy-mm-ddThh:mm:ss" (2026-12-07T21:00:00).
inline constexpr const char* kIsoDateTimePattern = "yyyy-mm-dd\\Thh:nn:ss";

// "January" to "December" (abbreviated: "Jan" to "Dec"); empty for any other month number.
std::string MonthName(int month, bool abbreviated);
// "Sunday" to "Saturday" for 1 to 7 (abbreviated: "Sun" to "Sat"); empty otherwise.
std::string WeekdayName(int weekday, bool abbreviated);

} // namespace kestrel
