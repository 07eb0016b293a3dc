// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CountFormat.h"

namespace kestrel {

namespace {

constexpr std::size_t kAlways = 0;

// Each family's units from the left, and the shortest format text from which the countdown
// line, the breakdown columns and the countdown file show each one.
constexpr FormatUnit kYearsUnits[] = {
    {CountUnit::Years, "yy", {kAlways, kAlways, 2}},
    {CountUnit::Days, "dd", {4, 4, 4}},
    {CountUnit::Hours, "hh", {6, 6, 7}},
    {CountUnit::Minutes, "mm", {10, 10, 10}},
    {CountUnit::Seconds, "ss", {13, 13, 13}},
};
constexpr FormatUnit kDaysUnits[] = {
    {CountUnit::TotalDays, "dd", {kAlways, kAlways, 2}},
    {CountUnit::Hours, "hh", {4, 4, 4}},
    {CountUnit::Minutes, "mm", {6, 6, 7}},
    {CountUnit::Seconds, "ss", {10, 10, 10}},
};
constexpr FormatUnit kHoursUnits[] = {
    {CountUnit::TotalHours, "hh", {kAlways, kAlways, 2}},
    {CountUnit::Minutes, "mm", {4, 4, 4}},
    {CountUnit::Seconds, "ss", {6, 6, 6}},
};

// In the order of FormatFamily.
constexpr FormatFamilyRow kFamilies[] = {
    {FormatFamily::Years, kYearsUnits},
    {FormatFamily::Days, kDaysUnits},
    {FormatFamily::Hours, kHoursUnits},
};

} // namespace

FormatFamily FamilyOf(std::string_view captionOption)
{
    const std::string_view prefix = captionOption.substr(0, 2);
    if (prefix == "yy") {
        return FormatFamily::Years;
    }
    if (prefix == "dd") {
        return FormatFamily::Days;
    }
    return FormatFamily::Hours;
}

const FormatFamilyRow& FormatRow(FormatFamily family)
{
    return kFamilies[static_cast<std::size_t>(family)];
}

std::vector<std::string> OfferedFormats()
{
    std::vector<std::string> formats;
    for (const FormatFamilyRow& row : kFamilies) {
        std::string format;
        for (const FormatUnit& unit : row.units) {
            if (!format.empty()) {
                format += ':';
            }
            format += unit.code;
            formats.push_back(format);
        }
    }
    return formats;
}

} // namespace kestrel
