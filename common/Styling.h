// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Look.h"
#include "Settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>
#include <string_view>

namespace kestrel {

class SettingsFile;

// Colours and font of one group of the breakdown display.
struct GroupStyle
{
    ColorValue backColor = 0;
    ColorValue foreColor = 0;
    FontChoice font;

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

// The three styled groups of the breakdown display, and what is styled of each.
enum class StyleGroup : std::uint8_t
{
    Caption,
    Interval,
    Project,
};
enum class StyleAttribute : std::uint8_t
{
    Visible,
    BackColor,
    ForeColor,
    FontName,
    FontItalic,
    FontBold,
    FontSize,
};

// One key of section "CountDown". Its default is computed: the value the display shows before it
// is read (the design look's at first).
struct StylingKey
{
    StyleGroup group;
    StyleAttribute attribute;
    const char* key;
};

// The styling keys in the order the reader reads them: each group's visibility first, the
// project title's bold before its italic. The numbers are always shown: they have no visibility.
// clang-format off
inline constexpr std::array<StylingKey, 20> kStylingKeys = {{
    {StyleGroup::Caption, StyleAttribute::Visible, "Caption Visible"},
    {StyleGroup::Caption, StyleAttribute::BackColor, "Caption BackColor"},
    {StyleGroup::Caption, StyleAttribute::ForeColor, "Caption ForeColor"},
    {StyleGroup::Caption, StyleAttribute::FontName, "Caption FontName"},
    {StyleGroup::Caption, StyleAttribute::FontItalic, "Caption FontItalic"},
    {StyleGroup::Caption, StyleAttribute::FontBold, "Caption FontBold"},
    {StyleGroup::Caption, StyleAttribute::FontSize, "Caption FontSize"},
    {StyleGroup::Interval, StyleAttribute::BackColor, "Interval BackColor"},
    {StyleGroup::Interval, StyleAttribute::ForeColor, "Interval ForeColor"},
    {StyleGroup::Interval, StyleAttribute::FontName, "Interval FontName"},
    {StyleGroup::Interval, StyleAttribute::FontItalic, "Interval FontItalic"},
    {StyleGroup::Interval, StyleAttribute::FontBold, "Interval FontBold"},
    {StyleGroup::Interval, StyleAttribute::FontSize, "Interval FontSize"},
    {StyleGroup::Project, StyleAttribute::Visible, "Project Visible"},
    {StyleGroup::Project, StyleAttribute::BackColor, "Project BackColor"},
    {StyleGroup::Project, StyleAttribute::ForeColor, "Project ForeColor"},
    {StyleGroup::Project, StyleAttribute::FontName, "Project FontName"},
    {StyleGroup::Project, StyleAttribute::FontBold, "Project FontBold"},
    {StyleGroup::Project, StyleAttribute::FontItalic, "Project FontItalic"},
    {StyleGroup::Project, StyleAttribute::FontSize, "Project FontSize"},
}};
// clang-format on
// The order in which a font item writes a group's font keys.
inline constexpr std::array<StyleAttribute, 4> kFontWriteOrder = {StyleAttribute::FontName, StyleAttribute::FontItalic,
                                                                  StyleAttribute::FontBold, StyleAttribute::FontSize};

// The key of a group's attribute; null for the numbers' visibility, which is not stored.
const char* StylingKeyOf(StyleGroup group, StyleAttribute attribute);
// The colours and font of one group.
GroupStyle& GroupOf(BreakdownStyle& style, StyleGroup group);
const GroupStyle& GroupOf(const BreakdownStyle& style, StyleGroup group);

// A group's font keys in the order the font items write them (name, italic, bold, size), for the
// caller to write with one replace of the settings file.
std::vector<SettingWrite> FontKeyWrites(StyleGroup group, const FontChoice& font);

} // namespace kestrel
