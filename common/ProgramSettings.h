// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <array>
#include <string>
#include <string_view>

namespace kestrel {

class SettingsFile;

// Settings the start-up procedure loads once from sections "Target Date" and "File Options".
// Text fields hold the stored text as read; only the options dialog changes them afterwards.
struct ProgramSettings
{
    std::string TargetYear = "2000";
    std::string TargetMonth = "1";
    std::string TargetDay = "1";
    std::string TargetType = "Days";
    std::string CaptionOption = "yy:dd:hh:mm:ss";
    std::string CountDownFile;
    std::int16_t ContinuousSave = 0;
    std::string FileBeforeText = "T-";
    std::string FileAfterText = "(Eastern Standard Time)";
    std::string ProjectTitle = "Year 2000 Conversion Project";
    std::string ProjectFile;
    std::string YYBeforeText;
    std::string YYAfterText = " Years";
    std::string DDBeforeText;
    std::string DDAfterText = "Days";
    std::string HHBeforeText;
    std::string HHAfterText = " Hours";
    std::string MMBeforeText;
    std::string MMAfterText = " Minutes";
    std::string SSBeforeText;
    std::string SSAfterText = " Seconds";
};

// Section names of the settings file.
inline constexpr const char* kTargetDateSection = "Target Date";
inline constexpr const char* kFileOptionsSection = "File Options";
inline constexpr const char* kFormsOpenSection = "Forms Open";
inline constexpr const char* kFormsPositionSection = "Forms Position";
inline constexpr const char* kCountDownSection = "CountDown";

// One key of the settings file with the default its readers use when the key is missing. A null
// default is worked out where the key is read (a path in the data folder, the day type).
struct SettingKey
{
    const char* section;
    const char* key;
    const char* defaultValue;
};

// The keys ProgramSettings holds, in the settings file's order: the one table the program's
// loader, the screensaver's loader and the options dialog read and write them by.
namespace setting {
inline constexpr SettingKey TargetYear{kTargetDateSection, "Target_Year", "2000"};
inline constexpr SettingKey TargetMonth{kTargetDateSection, "Target_Month", "1"};
inline constexpr SettingKey TargetDay{kTargetDateSection, "Target_Day", "1"};
inline constexpr SettingKey TargetType{kTargetDateSection, "Target_Type", "Days"};
inline constexpr SettingKey CaptionOption{kTargetDateSection, "Caption_option", "yy:dd:hh:mm:ss"};
inline constexpr SettingKey CountDownFile{kFileOptionsSection, "Count_Down_File", nullptr};
inline constexpr SettingKey ContinuousSave{kFileOptionsSection, "Continuous_Save", "0"};
inline constexpr SettingKey FileBeforeText{kFileOptionsSection, "File Before Text", "T-"};
inline constexpr SettingKey FileAfterText{kFileOptionsSection, "File After Text", "(Eastern Standard Time)"};
inline constexpr SettingKey ProjectTitle{kFileOptionsSection, "Project Title", "Year 2000 Conversion Project"};
// The screensaver shows its own title when the file has none.
inline constexpr const char* kSaverProjectTitleDefault = "Countdown to Year 2000";
inline constexpr SettingKey ProjectFile{kFileOptionsSection, "Project File", nullptr};
inline constexpr SettingKey CompanyLogo{kFileOptionsSection, "Company Logo", nullptr};
// The texts before and after each unit of the countdown file and the breakdown captions:
// years, days, hours, minutes, seconds, each before then after. "DD After Text" defaults to the
// day type.
inline constexpr std::array<SettingKey, 10> UnitTexts = {{
    {kFileOptionsSection, "YY Before Text", " "},
    {kFileOptionsSection, "YY After Text", " Years "},
    {kFileOptionsSection, "DD Before Text", " "},
    {kFileOptionsSection, "DD After Text", nullptr},
    {kFileOptionsSection, "HH Before Text", " "},
    {kFileOptionsSection, "HH After Text", " Hours "},
    {kFileOptionsSection, "MM Before Text", " "},
    {kFileOptionsSection, "MM After Text", " Minutes "},
    {kFileOptionsSection, "SS Before Text", " "},
    {kFileOptionsSection, "SS After Text", " Seconds "},
}};
inline constexpr std::size_t kDaysAfterText = 3;
} // namespace setting

// The ProgramSettings fields of the unit texts, in the order of setting::UnitTexts.
inline constexpr std::array<std::string ProgramSettings::*, 10> kUnitTextFields = {
    &ProgramSettings::YYBeforeText, &ProgramSettings::YYAfterText,  &ProgramSettings::DDBeforeText,
    &ProgramSettings::DDAfterText,  &ProgramSettings::HHBeforeText, &ProgramSettings::HHAfterText,
    &ProgramSettings::MMBeforeText, &ProgramSettings::MMAfterText,  &ProgramSettings::SSBeforeText,
    &ProgramSettings::SSAfterText};

// Reads a key with its default from the table.
std::string ReadSetting(const SettingsFile& file, const SettingKey& key);
// Reads a key whose default is worked out by the caller.
std::string ReadSetting(const SettingsFile& file, const SettingKey& key, std::string_view defaultValue);

// Loads ProgramSettings in the order of the settings file's table, each key with its default;
// the countdown file and the milestone file default to dataDirectory/Kestrel.txt and
// dataDirectory/mileston.txt, and "DD After Text" defaults to the day type just read.
ProgramSettings LoadProgramSettings(const SettingsFile& file, const std::filesystem::path& dataDirectory);

} // namespace kestrel
