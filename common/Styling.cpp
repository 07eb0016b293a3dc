// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Styling.h"

#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "Settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kestrel {

namespace {

// The breakdown window's styling keys live in section "CountDown".
constexpr const char* kSection = kCountDownSection;
// Font sizes a font can have, in points.
constexpr double kSmallestSize = 1.0;
constexpr double kLargestSize = 1638.0;

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

[[noreturn]] void TypeMismatch()
{
    throw RuntimeError(RuntimeError::TypeMismatch);
}

// A whole decimal or "&H" hexadecimal number, or a decimal with a fraction (rounded halves to
// even); nothing else.
double ReadNumber(std::string_view text)
{
    text = Trimmed(text);
    if (text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
        if (error != std::errc() || end != text.data() + text.size() || text.size() > 10) {
            TypeMismatch();
        }
        // Eight hexadecimal digits are a 32-bit pattern: &H80000008 is a system colour.
        return text.size() == 10 ? static_cast<double>(static_cast<std::int32_t>(value)) : value;
    }
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        TypeMismatch();
    }
    return value;
}

} // namespace

BreakdownStyle BreakdownWindowDesign()
{
    constexpr ColorValue kLightBlue = 16744576;
    constexpr ColorValue kYellow = 65535;
    BreakdownStyle style;
    style.caption = {kLightBlue, kSystemWindowText, {"Tahoma", 12, true, false}};
    style.interval = {kLightBlue, kYellow, {"Tahoma", 11.25, true, false}};
    style.project = {kLightBlue, 0, {"Tahoma", 12, false, false}};
    return style;
}

std::string GetINIColors(const SettingsFile& file, std::string_view szItem, std::string_view szDefault)
{
    return file.ReadSetting(kSection, szItem, szDefault);
}

void ReadCountDownSection(const SettingsFile& file, BreakdownStyle& style, bool withVisibility)
{
    // Each key defaults to the value showing, so that a missing key changes nothing.
    for (const StylingKey& key : kStylingKeys) {
        GroupStyle& group = GroupOf(style, key.group);
        switch (key.attribute) {
        case StyleAttribute::Visible:
            if (withVisibility) {
                bool& visible = key.group == StyleGroup::Caption ? style.captionVisible : style.projectVisible;
                visible = ParseBool(GetINIColors(file, key.key, BoolText(visible)));
            }
            break;
        case StyleAttribute::BackColor:
            group.backColor = ParseColor(GetINIColors(file, key.key, ColorText(group.backColor)));
            break;
        case StyleAttribute::ForeColor:
            group.foreColor = ParseColor(GetINIColors(file, key.key, ColorText(group.foreColor)));
            break;
        case StyleAttribute::FontName:
            // A blank name names no font: the one showing stays.
            if (std::string name = GetINIColors(file, key.key, group.font.name); !name.empty()) {
                group.font.name = std::move(name);
            }
            break;
        case StyleAttribute::FontItalic:
            group.font.italic = ParseBool(GetINIColors(file, key.key, BoolText(group.font.italic)));
            break;
        case StyleAttribute::FontBold:
            group.font.bold = ParseBool(GetINIColors(file, key.key, BoolText(group.font.bold)));
            break;
        case StyleAttribute::FontSize:
            group.font.size = ParseSize(GetINIColors(file, key.key, SizeText(group.font.size)));
            break;
        }
    }
}

const char* StylingKeyOf(StyleGroup group, StyleAttribute attribute)
{
    for (const StylingKey& key : kStylingKeys) {
        if (key.group == group && key.attribute == attribute) {
            return key.key;
        }
    }
    return nullptr;
}

GroupStyle& GroupOf(BreakdownStyle& style, StyleGroup group)
{
    switch (group) {
    case StyleGroup::Caption:
        return style.caption;
    case StyleGroup::Interval:
        return style.interval;
    case StyleGroup::Project:
        break;
    }
    return style.project;
}

const GroupStyle& GroupOf(const BreakdownStyle& style, StyleGroup group)
{
    return GroupOf(const_cast<BreakdownStyle&>(style), group);
}

std::string ColorText(ColorValue value)
{
    return std::to_string(value);
}

std::string BoolText(bool value)
{
    return value ? "True" : "False";
}

std::string SizeText(double points)
{
    return SingleText(points);
}

ColorValue ParseColor(std::string_view text)
{
    const double value = std::nearbyint(ReadNumber(text));
    if (value < std::numeric_limits<ColorValue>::min() || value > std::numeric_limits<ColorValue>::max()) {
        throw RuntimeError(RuntimeError::Overflow);
    }
    return static_cast<ColorValue>(value);
}

bool ParseBool(std::string_view text)
{
    text = Trimmed(text);
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "true") {
        return true;
    }
    if (lower == "false") {
        return false;
    }
    return ReadNumber(text) != 0.0;
}

double ParseSize(std::string_view text)
{
    const double size = ReadNumber(text);
    if (!(size >= kSmallestSize && size <= kLargestSize)) {
        throw RuntimeError(RuntimeError::InvalidPropertyValue);
    }
    // Sizes are kept in single precision, as the settings file writes them.
    return static_cast<float>(size);
}

std::vector<SettingWrite> FontKeyWrites(StyleGroup group, const FontChoice& font)
{
    std::vector<SettingWrite> writes;
    for (const StyleAttribute attribute : kFontWriteOrder) {
        std::string value = attribute == StyleAttribute::FontName     ? font.name
                            : attribute == StyleAttribute::FontItalic ? BoolText(font.italic)
                            : attribute == StyleAttribute::FontBold   ? BoolText(font.bold)
                                                                      : SizeText(font.size);
        writes.push_back({kSection, StylingKeyOf(group, attribute), std::move(value)});
    }
    return writes;
}

} // namespace kestrel
