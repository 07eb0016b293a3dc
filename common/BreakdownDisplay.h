// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Countdown.h"
#include "ProgramSettings.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

// What one of the five columns of the breakdown shows: the unit caption above, the number below.
struct BreakdownColumn
{
    std::string caption;
    bool captionVisible = false;
    std::string number;
    bool numberVisible = false;

    friend bool operator==(const BreakdownColumn&, const BreakdownColumn&) = default;
};
using BreakdownColumns = std::array<BreakdownColumn, 5>;

// The breakdown window, or the screensaver, which counts every format that does not begin with
// "yy" as the days family and always shows the caption of a shown column.
enum class BreakdownVariant
{
    Window,
    Screensaver,
};

// The count format the screensaver works with: it has no hours family, so a format that does not
// begin with "yy" or "dd" counts as the days format of the same length ("hh:mm" as "dd:hh").
std::string ScreensaverFormat(std::string_view captionOption);

// The five columns for a count format, as the count-format table gives them: the years family
// shows years, days, hours, minutes and seconds from the left; the days family total days,
// hours, minutes, seconds; the hours family total hours (in 32 bits, so it never overflows),
// minutes, seconds. How many units show depends on the format's length; columns not shown are
// hidden from the right, and their texts are left empty. A shown caption is visible when
// `captionsVisible` (always for the screensaver). A countdown out of range shows the mark in the
// first column and hides the others.
BreakdownColumns showCountdown(std::string_view captionOption, const CountdownBreakdown& breakdown,
                               const UnitTexts& texts, bool captionsVisible,
                               BreakdownVariant variant = BreakdownVariant::Window);

} // namespace kestrel
