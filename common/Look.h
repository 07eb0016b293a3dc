// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The colour and font values the settings file stores, shared by the styling code and the
// window layer, which turns them into what the screen shows.

#include <cstdint>
#include <string>

namespace kestrel {

// A colour as the settings file stores it: red in the low byte, then green and blue; a value with
// the top bit set names a system colour by the index in its low byte.
using ColorValue = std::int32_t;
// The desktop's window text colour, system colour 8, stored as -2147483640.
inline constexpr ColorValue kSystemWindowText = static_cast<ColorValue>(0x80000008u);

// A font as the font dialog and the settings file know it.
struct FontChoice
{
    std::string name;
    double size = 8.25; // points
    bool bold = false;
    bool italic = false;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

} // namespace kestrel
