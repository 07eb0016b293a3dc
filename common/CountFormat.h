// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The three families of count formats, told apart by the first two characters of the format.
enum class FormatFamily
{
    Years, // "yy", "yy:dd", ... "yy:dd:hh:mm:ss"
    Days,  // "dd" ... "dd:hh:mm:ss"
    Hours, // anything else: "hh", "hh:mm", "hh:mm:ss"
};
FormatFamily FamilyOf(std::string_view captionOption);

// A number that a count format can show. The first unit of the days and hours families stands
// for the whole span: total days, or total hours (all whole days folded into hours).
enum class CountUnit
{
    Years,
    Days,
    TotalDays,
    Hours,
    TotalHours,
    Minutes,
    Seconds,
};

// Where the count is shown. Each output decides by the length of the format text which units
// it shows, and the three did not always agree.
enum class CountOutput
{
    Line,      // the countdown line of the toolbar's title
    Breakdown, // the five columns of the breakdown window and the screensaver
    File,      // the continuous countdown file
};

// One unit of a family: the two letters that name it in a format and the shortest format text
// from which each output shows it (indexed by CountOutput).
struct FormatUnit
{
    CountUnit unit;
    const char* code;
    std::array<std::size_t, 3> fromLength;

    bool shownIn(CountOutput output, std::size_t formatLength) const
    {
        return formatLength >= fromLength[static_cast<std::size_t>(output)];
    }
};

// A family's units from the left, as its longest format names them.
struct FormatFamilyRow
{
    FormatFamily family;
    std::span<const FormatUnit> units;
};

// One family's row of the count-format table. For every offered format the three outputs show the same units; they
// differ only for texts the options list does not offer: the file writes nothing for a format
// shorter than two characters, the hours of a years format and the minutes of a days format only
// from seven characters on ("yy:dd:" has hours in the line and the breakdown, not in the file).
const FormatFamilyRow& FormatRow(FormatFamily family);

// The formats the options dialog offers: each family's formats, shortest first, each naming
// its family's units from the left ("yy", "yy:dd", ... "hh:mm:ss").
std::vector<std::string> OfferedFormats();

} // namespace kestrel
