// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "WorkDays.h"

#include <array>
#include <string>
#include <string_view>

namespace kestrel {

// One entry of the calculator's interval box: the text the list shows and the date-difference
// code it counts with ("" for "WorkDays" and "Years", which have rules of their own).
struct CalculatorInterval
{
    std::string_view item;
    std::string_view code;
};

// The interval box's list, in the order it shows.
inline constexpr std::array<CalculatorInterval, 9> kCalculatorIntervals = {{
    {"Days", "d"},
    {"WorkDays", ""},
    {"Weeks", "ww"},
    {"Quarters", "q"},
    {"Months", "m"},
    {"Years", ""},
    {"Hours", "h"},
    {"Minutes", "n"},
    {"Seconds", "s"},
}};

// What the answer panel says when the interval box holds a typed text the list lacks.
inline constexpr std::string_view kChooseIntervalAnswer = "Choose an interval from the list";
// What it says when a date box holds no date (a damaged target in the settings file).
inline constexpr std::string_view kPickFromDateAnswer = "Pick a From date";
inline constexpr std::string_view kPickToDateAnswer = "Pick a To date";

// The design text of the From box, which stands for "no date chosen yet".
inline constexpr std::string_view kNoDateText = "Click a Date";

// A whole count with thousands grouped by commas, exactly, over the full 64-bit range:
// 1096 gives "1,096", -6311433600 gives "-6,311,433,600".
std::string GroupedCount(long long count);

// The answer for an interval between two dates: "1,096 Days", "5 WorkDays", "-3 Months", and
// for "Years" the whole years alone ("3"), which are the months crossed divided by 12 towards
// zero. The interval text is compared exactly with the list; a text the list lacks gives
// kChooseIntervalAnswer. Counts are 64-bit, so seconds over centuries and work days over any
// span are exact.
// "WorkDays" counts by `calendar`: the older rule unless the settings choose a working week.
std::string CalculateInterval(std::string_view interval, DateValue from, DateValue to,
                              const WorkCalendar& calendar = WorkCalendar());

// The same for the texts of the two date boxes, read as dates (a month and day alone fall in
// `currentYear`); a box whose text is no date gives kPickFromDateAnswer or kPickToDateAnswer.
std::string CalculateInterval(std::string_view interval, std::string_view fromText, std::string_view toText,
                              int currentYear, const WorkCalendar& calendar = WorkCalendar());

// A date as the date boxes show it: "Dec 30, 1999".
std::string DateBoxText(DateValue date);

// The date a picker opens at for a date box: the date its text holds, or `today` when the text
// is no date.
DateValue PickerStartDate(std::string_view boxText, DateValue today);

} // namespace kestrel
