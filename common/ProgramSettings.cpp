// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramSettings.h"

#include "Settings.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kestrel {

namespace {

// "Continuous_Save" as the 16-bit number the program keeps. Text that is not a whole number
// means off (0); a whole number too large for 16 bits still means on and is kept as 1.
std::int16_t ToContinuousSave(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    std::int32_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    const std::int32_t value = negative ? -magnitude : magnitude;
    if (error != std::errc() || end != text.data() + text.size() || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return 1;
    }
    return static_cast<std::int16_t>(value);
}

} // namespace

std::string ReadSetting(const SettingsFile& file, const SettingKey& key)
{
    return file.ReadSetting(key.section, key.key, key.defaultValue == nullptr ? "" : key.defaultValue);
}

std::string ReadSetting(const SettingsFile& file, const SettingKey& key, std::string_view defaultValue)
{
    return file.ReadSetting(key.section, key.key, defaultValue);
}

ProgramSettings LoadProgramSettings(const SettingsFile& file, const std::filesystem::path& dataDirectory)
{
    ProgramSettings settings;
    settings.TargetYear = ReadSetting(file, setting::TargetYear);
    settings.TargetMonth = ReadSetting(file, setting::TargetMonth);
    settings.TargetDay = ReadSetting(file, setting::TargetDay);
    settings.TargetType = ReadSetting(file, setting::TargetType);
    settings.CaptionOption = ReadSetting(file, setting::CaptionOption);

    settings.CountDownFile =
        ReadSetting(file, setting::CountDownFile, (dataDirectory / "Kestrel.txt").generic_string());
    settings.ContinuousSave = ToContinuousSave(ReadSetting(file, setting::ContinuousSave));
    settings.FileBeforeText = ReadSetting(file, setting::FileBeforeText);
    settings.FileAfterText = ReadSetting(file, setting::FileAfterText);
    settings.ProjectTitle = ReadSetting(file, setting::ProjectTitle);
    settings.ProjectFile = ReadSetting(file, setting::ProjectFile, (dataDirectory / "mileston.txt").generic_string());

    for (std::size_t i = 0; i < setting::UnitTexts.size(); ++i) {
        // The days caption follows the kind of day counted unless the file says otherwise.
        settings.*kUnitTextFields[i] = i == setting::kDaysAfterText
                                           ? ReadSetting(file, setting::UnitTexts[i], settings.TargetType)
                                           : ReadSetting(file, setting::UnitTexts[i]);
    }
    return settings;
}

} // namespace kestrel
