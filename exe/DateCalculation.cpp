// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateCalculation.h"

#include "WorkDays.h"

#include <algorithm>
#include <cmath>

namespace kestrel {

namespace {

const CalculatorInterval* FindInterval(std::string_view item)
{
    const auto found = std::find_if(kCalculatorIntervals.begin(), kCalculatorIntervals.end(),
                                    [item](const CalculatorInterval& entry) { return entry.item == item; });
    return found == kCalculatorIntervals.end() ? nullptr : &*found;
}

// The date without its time of day (before 1899-12-30 the whole part counts back, the fraction on).
DateValue DateOnly(DateValue value)
{
    return DateValue{std::trunc(value.serial)};
}

} // namespace

std::string GroupedCount(long long count)
{
    // Digits of the magnitude, built from the unsigned value so the smallest count has one too.
    unsigned long long magnitude =
        count < 0 ? 0ULL - static_cast<unsigned long long>(count) : static_cast<unsigned long long>(count);
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) {
            reversed.push_back(',');
        }
        reversed.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (count < 0) {
        reversed.push_back('-');
    }
    return {reversed.rbegin(), reversed.rend()};
}

std::string CalculateInterval(std::string_view interval, DateValue from, DateValue to, const WorkCalendar& calendar)
{
    const CalculatorInterval* entry = FindInterval(interval);
    if (entry == nullptr) {
        return std::string(kChooseIntervalAnswer);
    }
    if (entry->item == "Years") {
        // Whole years are twelve calendar months crossed; C++ division drops the remainder
        // towards zero as the answer wants (-13 months is -1).
        return std::to_string(DateDiff("m", from, to) / 12);
    }
    const long long count = entry->item == "WorkDays" ? calendar.workDays(from, to) : DateDiff(entry->code, from, to);
    return GroupedCount(count) + " " + std::string(entry->item);
}

std::string CalculateInterval(std::string_view interval, std::string_view fromText, std::string_view toText,
                              int currentYear, const WorkCalendar& calendar)
{
    if (FindInterval(interval) == nullptr) {
        return std::string(kChooseIntervalAnswer);
    }
    if (!IsDate(fromText, currentYear)) {
        return std::string(kPickFromDateAnswer);
    }
    if (!IsDate(toText, currentYear)) {
        return std::string(kPickToDateAnswer);
    }
    // The boxes hold dates without a time of day, so hours, minutes and seconds count whole days.
    return CalculateInterval(interval, DateOnly(GetDateValue(fromText, currentYear)),
                             DateOnly(GetDateValue(toText, currentYear)), calendar);
}

std::string DateBoxText(DateValue date)
{
    return Format(date, "mmm d, yyyy");
}

DateValue PickerStartDate(std::string_view boxText, DateValue today)
{
    const int year = Year(today);
    return IsDate(boxText, year) ? GetDateValue(boxText, year) : DateOnly(today);
}

} // namespace kestrel
