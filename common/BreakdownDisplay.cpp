// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownDisplay.h"

#include <algorithm>
#include <utility>

namespace kestrel {

std::string ScreensaverFormat(std::string_view captionOption)
{
    std::string format(captionOption);
    if (FamilyOf(format) == FormatFamily::Hours) {
        format.replace(0, std::min<std::size_t>(2, format.size()), "dd");
    }
    return format;
}

BreakdownColumns showCountdown(std::string_view captionOption, const CountdownBreakdown& b, const UnitTexts& t,
                               bool captionsVisible, BreakdownVariant variant)
{
    BreakdownColumns columns;
    if (b.OutOfRange) {
        columns[0] = {"", true, kOutOfRangeMark, true};
        return columns;
    }
    const bool screensaver = variant == BreakdownVariant::Screensaver;
    const std::string format = screensaver ? ScreensaverFormat(captionOption) : std::string(captionOption);
    // The shown units take the columns from the left; the rest stay hidden with empty texts.
    std::size_t next = 0;
    for (const FormatUnit& unit : FormatRow(FamilyOf(format)).units) {
        if (next < columns.size() && unit.shownIn(CountOutput::Breakdown, format.size())) {
            const auto [before, after] = t.of(unit.unit);
            columns[next++] = {before + after, captionsVisible || screensaver, std::to_string(b.valueOf(unit.unit)),
                               true};
        }
    }
    return columns;
}

} // namespace kestrel
