// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramSettings.h"

#include "Holidays.h"
#include "Settings.h"
#include "WorkDays.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <limits>

namespace kestrel {

namespace {

// The rule of settings that choose no working week.
const WorkCalendar kOlderWorkDayRule;

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

// The default of a key that the table spells, or that depends on what was read before it.
std::string DefaultOf(const SettingKey& key, const ProgramSettings& readSoFar,
                      const std::filesystem::path& dataDirectory, SettingsReader reader)
{
    switch (key.computed) {
    case Computed::CountdownFile:
        return dataDirectory.empty() ? std::string() : (dataDirectory / "Kestrel.txt").generic_string();
    case Computed::MilestoneFile:
        return dataDirectory.empty() ? std::string() : (dataDirectory / "mileston.txt").generic_string();
    case Computed::DayType:
        return readSoFar.TargetType;
    default:
        break;
    }
    if (reader == SettingsReader::Screensaver && key.computed == Computed::SaverTitle) {
        return setting::kSaverProjectTitleDefault;
    }
    return key.defaultValue == nullptr ? std::string() : std::string(key.defaultValue);
}

// Fills every field from `read`, which gives a key's value given its default, in the tables' order.
template <typename Read>
void FillProgramSettings(ProgramSettings& settings, const std::filesystem::path& dataDirectory, SettingsReader reader,
                         Read read)
{
    for (const ProgramField& field : kProgramFields) {
        SetField(settings, field, read(field.key, DefaultOf(field.key, settings, dataDirectory, reader)));
    }
    for (std::size_t unit = 0; unit < kUnitKeys.size(); ++unit) {
        for (const bool after : {false, true}) {
            const UnitTextKey key = UnitTextKeyOf(unit, after);
            const SettingKey setting{kFileOptionsSection, key.key.c_str(), key.defaultValue, key.computed};
            UnitTextField(settings, unit, after) = read(setting, DefaultOf(setting, settings, dataDirectory, reader));
        }
    }
}

} // namespace

ProgramSettings::ProgramSettings()
{
    FillProgramSettings(*this, {}, SettingsReader::Program,
                        [](const SettingKey&, const std::string& defaultValue) { return DefaultAsRead(defaultValue); });
}

const WorkCalendar& ProgramSettings::workDayRule() const
{
    return workCalendar ? *workCalendar : kOlderWorkDayRule;
}

std::pair<const std::string&, const std::string&> UnitTexts::of(CountUnit unit) const
{
    const auto pair = [this](std::size_t i) -> std::pair<const std::string&, const std::string&> {
        return {units[i].before, units[i].after};
    };
    switch (unit) {
    case CountUnit::Years:
        return pair(0);
    case CountUnit::Days:
    case CountUnit::TotalDays:
        return pair(1);
    case CountUnit::Hours:
    case CountUnit::TotalHours:
        return pair(2);
    case CountUnit::Minutes:
        return pair(3);
    case CountUnit::Seconds:
        break;
    }
    return pair(4);
}

UnitTextKey UnitTextKeyOf(std::size_t unit, bool after)
{
    const UnitKeys& keys = kUnitKeys.at(unit);
    std::string key = std::string(keys.unit) + (after ? " After Text" : " Before Text");
    if (!after) {
        return {std::move(key), kUnitBeforeDefault, Computed::None};
    }
    return {std::move(key), keys.afterDefault, keys.afterDefault == nullptr ? Computed::DayType : Computed::None};
}

std::string& UnitTextField(ProgramSettings& settings, std::size_t unit, bool after)
{
    UnitText& text = settings.unitTexts.units.at(unit);
    return after ? text.after : text.before;
}

const std::string& UnitTextField(const ProgramSettings& settings, std::size_t unit, bool after)
{
    const UnitText& text = settings.unitTexts.units.at(unit);
    return after ? text.after : text.before;
}

std::string FieldText(const ProgramSettings& settings, const ProgramField& field)
{
    return field.text != nullptr ? settings.*field.text : std::to_string(settings.*field.number);
}

void SetField(ProgramSettings& settings, const ProgramField& field, std::string_view text)
{
    if (field.text != nullptr) {
        settings.*field.text = std::string(text);
    } else {
        settings.*field.number = ToContinuousSave(text);
    }
}

std::string ReadSetting(const SettingsFile& file, const SettingKey& key)
{
    return file.ReadSetting(key.section, key.key, key.defaultValue == nullptr ? "" : key.defaultValue);
}

std::string ReadSetting(const SettingsFile& file, const SettingKey& key, std::string_view defaultValue)
{
    return file.ReadSetting(key.section, key.key, defaultValue);
}

ProgramSettings LoadProgramSettings(const SettingsFile& file, const std::filesystem::path& dataDirectory,
                                    SettingsReader reader)
{
    ProgramSettings settings;
    FillProgramSettings(settings, dataDirectory, reader,
                        [&file](const SettingKey& key, const std::string& defaultValue) {
                            return ReadSetting(file, key, defaultValue);
                        });
    LoadWorkCalendar(settings, file.path());
    return settings;
}

bool IsFirstRun(const SettingsFile& file)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(file.path(), error);
    return status.type() == std::filesystem::file_type::not_found;
}

bool IsTargetDayField(const ProgramField& field)
{
    return std::ranges::any_of(kTargetDayFields, [&](const ProgramField& one) { return one.text == field.text; });
}

void SetTargetDay(ProgramSettings& settings, int year, int month, int day)
{
    settings.TargetYear = std::to_string(year);
    settings.TargetMonth = std::to_string(month);
    settings.TargetDay = std::to_string(day);
}

} // namespace kestrel
