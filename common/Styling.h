// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Settings.h"

#include <cstdint>
#include <string>
#include <vector>
#include <string_view>

namespace kestrel {

class SettingsFile;

// A colour as the settings file stores it: red in the low byte, then green and blue; a value with
// the top bit set names a system colour by the index in its low byte.
using ColorValue = std::int32_t;
// The desktop's window text colour, system colour 8.
inline constexpr ColorValue kSystemWindowText = static_cast<ColorValue>(0x80000008u);

// Colours and font of one group of the breakdown display.
struct GroupStyle
{
    ColorValue backColor = 0;
    ColorValue foreColor = 0;
    std::string fontName;
    bool fontItalic = false;
    bool fontBold = false;
    double fontSize = 8.25; // points

    friend bool operator==(const GroupStyle&, const GroupStyle&) = default;
};

// The styling of the breakdown display kept in section "CountDown": the unit captions, the
// numbers ("intervals") and the project title; captions and project title can be hidden.
struct BreakdownStyle
{
    bool captionVisible = true;
    GroupStyle caption;
    GroupStyle interval;
    bool projectVisible = true;
    GroupStyle project;

    friend bool operator==(const BreakdownStyle&, const BreakdownStyle&) = default;
};

// The breakdown window's design look: light blue, captions in the window text colour, yellow
// numbers, a black project title, Tahoma.
BreakdownStyle BreakdownWindowDesign();

// Reads one key of section "CountDown", the default when the key, the section or the file is
// missing, with the settings reader's length limit and treatment of blanks.
std::string GetINIColors(const SettingsFile& file, std::string_view szItem, std::string_view szDefault);

// Reads section "CountDown" over `style` in the order of its keys, each key defaulting to the
// value `style` holds, and each value taking effect as it is read. A value that does not convert
// raises error 13 (Type mismatch), a colour out of range error 6, a font size that no font can
// have error 380; the keys after it are then not read. The screensaver reads no visibility keys.
void ReadCountDownSection(const SettingsFile& file, BreakdownStyle& style, bool withVisibility = true);

// The encodings of section "CountDown".
std::string ColorText(ColorValue value);
std::string BoolText(bool value);
std::string SizeText(double points);
ColorValue ParseColor(std::string_view text);
bool ParseBool(std::string_view text);
double ParseSize(std::string_view text);

// The keys of section "CountDown" that the Format menu writes.
struct GroupKeys
{
    const char* backColor;
    const char* foreColor;
    const char* fontName;
    const char* fontItalic;
    const char* fontBold;
    const char* fontSize;
    const char* visible; // null for the numbers, which are always shown
};
inline constexpr GroupKeys kCaptionKeys = {"Caption BackColor",  "Caption ForeColor", "Caption FontName",
                                           "Caption FontItalic", "Caption FontBold",  "Caption FontSize",
                                           "Caption Visible"};
inline constexpr GroupKeys kIntervalKeys = {"Interval BackColor",
                                            "Interval ForeColor",
                                            "Interval FontName",
                                            "Interval FontItalic",
                                            "Interval FontBold",
                                            "Interval FontSize",
                                            nullptr};
inline constexpr GroupKeys kProjectKeys = {"Project BackColor",  "Project ForeColor", "Project FontName",
                                           "Project FontItalic", "Project FontBold",  "Project FontSize",
                                           "Project Visible"};

// A group's font keys in the order the font items write them (name, italic, bold, size), for the
// caller to write with one replace of the settings file.
std::vector<SettingWrite> FontKeyWrites(const GroupKeys& keys, const GroupStyle& font);

} // namespace kestrel
