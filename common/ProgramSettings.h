// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CountFormat.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel {

class SettingsFile;
class WorkCalendar;

// Section names of the settings file.
inline constexpr const char* kTargetDateSection = "Target Date";
inline constexpr const char* kFileOptionsSection = "File Options";
inline constexpr const char* kFormsOpenSection = "Forms Open";
inline constexpr const char* kFormsPositionSection = "Forms Position";
inline constexpr const char* kCountDownSection = "CountDown";
inline constexpr const char* kScreensaverSection = "Screensaver";
inline constexpr const char* kWorkDaysSection = "Work Days";

// Where the default of a key comes from when the table cannot spell it.
enum class Computed : std::uint8_t
{
    None,          // the table's default text, as the reader makes of it
    CountdownFile, // Kestrel.txt in the data folder
    MilestoneFile, // mileston.txt in the data folder
    DayType,       // the day type read before it ("DD After Text")
    MakerAddress,  // the company text: "URL: " and the maker's address
    SaverTitle,    // the table's default for the program, the screensaver's own title for it
};

// Whether a writer stores a key every time, or only when its value differs from the stored one
// (so that the file gains a key only for a user who sets it).
enum class WriteRule : std::uint8_t
{
    Always,
    WhenChanged,
};

// One key of the settings file: where it lives, its default and how writers treat it. A null
// default is computed where the key is read, as `computed` says.
struct SettingKey
{
    const char* section;
    const char* key;
    const char* defaultValue;
    Computed computed = Computed::None;
    WriteRule write = WriteRule::Always;
};

// The texts before and after one unit of the countdown file and the breakdown captions.
struct UnitText
{
    std::string before;
    std::string after;

    friend bool operator==(const UnitText&, const UnitText&) = default;
};

// The five units' texts: years, days, hours, minutes, seconds.
struct UnitTexts
{
    std::array<UnitText, 5> units;

    // The before and after texts of a unit (total days take the days texts, total hours the
    // hours texts).
    std::pair<const std::string&, const std::string&> of(CountUnit unit) const;

    friend bool operator==(const UnitTexts&, const UnitTexts&) = default;
};

// Settings the start-up procedure loads once from sections "Target Date" and "File Options", and
// the screensaver loads the same way. Text fields hold the stored text as read. A default-made
// value holds what the reader makes of the table's defaults, with empty data-file paths.
struct ProgramSettings
{
    ProgramSettings();

    std::string TargetYear;
    std::string TargetMonth;
    std::string TargetDay;
    std::string TargetType;
    // "H:MM" or "HH:MM" (24-hour): the time of day the count runs to; anything else means
    // midnight at the start of the target day (see TargetTimeOfDay).
    std::string TargetTime;
    // "True": once the target moment has passed, the count shows the time since it (see
    // ComputeCountdown); anything else keeps the negative count.
    std::string CountUp;
    // "True": the target renews itself every year: every reader counts to the next anniversary of
    // the stored day that is not past (see RenewedTarget), and kestrel stores the new year.
    std::string RenewYearly;
    std::string CaptionOption;
    std::string CountDownFile;
    std::int16_t ContinuousSave = 0;
    std::string FileBeforeText;
    std::string FileAfterText;
    std::string ProjectTitle;
    std::string ProjectFile;
    UnitTexts unitTexts;
    // "True": work days follow the working week and the holidays (see WorkCalendar).
    std::string UseHolidays;
    // The days worked, "Mon Tue Wed Thu Fri" (see ReadWorkingWeek).
    std::string WorkWeek;
    // The web address of a holiday calendar; empty for none.
    std::string HolidayFeed;

    // The rule every count in work days follows: the working week and the holidays of the
    // holiday cache when "Use Holidays" is on, the older rule otherwise.
    std::shared_ptr<const WorkCalendar> workCalendar;
    // What went wrong loading the working week or the holiday cache, said once by each program;
    // empty when nothing did.
    std::string workDaysProblem;
    const WorkCalendar& workDayRule() const;
};

// The keys the program reads and writes, each declared once with its default.
namespace setting {
// clang-format off
inline constexpr SettingKey TargetYear{kTargetDateSection, "Target_Year", "2000"};
inline constexpr SettingKey TargetMonth{kTargetDateSection, "Target_Month", "1"};
inline constexpr SettingKey TargetDay{kTargetDateSection, "Target_Day", "1"};
inline constexpr SettingKey TargetType{kTargetDateSection, "Target_Type", "Days"};
inline constexpr SettingKey TargetTime{kTargetDateSection, "Target_Time", "", Computed::None, WriteRule::WhenChanged};
inline constexpr SettingKey CountUp{kTargetDateSection, "Count_Up", "False", Computed::None, WriteRule::WhenChanged};
inline constexpr SettingKey RenewYearly{kTargetDateSection, "Renew_Yearly", "False", Computed::None, WriteRule::WhenChanged};
inline constexpr SettingKey CaptionOption{kTargetDateSection, "Caption_option", "yy:dd:hh:mm:ss"};
inline constexpr SettingKey CountDownFile{kFileOptionsSection, "Count_Down_File", nullptr, Computed::CountdownFile};
inline constexpr SettingKey ContinuousSave{kFileOptionsSection, "Continuous_Save", "0"};
inline constexpr SettingKey FileBeforeText{kFileOptionsSection, "File Before Text", "T-"};
inline constexpr SettingKey FileAfterText{kFileOptionsSection, "File After Text", "(Eastern Standard Time)"};
inline constexpr SettingKey ProjectTitle{kFileOptionsSection, "Project Title", "Year 2000 Conversion Project", Computed::SaverTitle};
inline constexpr SettingKey ProjectFile{kFileOptionsSection, "Project File", nullptr, Computed::MilestoneFile};
inline constexpr SettingKey CompanyLogo{kFileOptionsSection, "Company Logo", nullptr, Computed::MakerAddress};
// clang-format on
// "Forms Open": how many windows were open at the last close, then "Form1", "Form2", ... each
// naming one of them.
inline constexpr SettingKey FormCount{kFormsOpenSection, "FormCount", "0"};
// "True": closing the toolbar leaves the program running in the panel's tray, toolbar hidden.
inline constexpr SettingKey KeepRunningInTray{"Tray", "Keep Running When Toolbar Closed", "False", Computed::None,
                                              WriteRule::WhenChanged};
inline constexpr const char* kFormKeyPrefix = "Form";
// "Screensaver" of KESTREL.INI: the countdown kestrel-saver shows when its command line names none.
inline constexpr SettingKey ScreensaverCountdown{kScreensaverSection, "Countdown", "Default", Computed::None,
                                                 WriteRule::WhenChanged};
// The screensaver shows its own title when the file has none.
inline constexpr const char* kSaverProjectTitleDefault = "Countdown to Year 2000";
// Section "Work Days": holidays and the working week, off unless "Use Holidays" is "True". The
// holiday calendars are "Holiday File1", "Holiday File2", ..., "Holiday FileCount" of them.
// clang-format off
inline constexpr SettingKey UseHolidays{kWorkDaysSection, "Use Holidays", "False", Computed::None, WriteRule::WhenChanged};
inline constexpr SettingKey HolidayFileCount{kWorkDaysSection, "Holiday FileCount", "0", Computed::None, WriteRule::WhenChanged};
inline constexpr const char* kHolidayFileKeyPrefix = "Holiday File";
inline constexpr SettingKey HolidayFeed{kWorkDaysSection, "Holiday Feed", "", Computed::None, WriteRule::WhenChanged};
inline constexpr SettingKey WorkWeek{kWorkDaysSection, "Working Week", "Mon Tue Wed Thu Fri", Computed::None, WriteRule::WhenChanged};
// clang-format on
} // namespace setting

// A key of ProgramSettings bound to the field that holds it: a text field, or the one number.
struct ProgramField
{
    SettingKey key;
    std::string ProgramSettings::*text = nullptr;
    std::int16_t ProgramSettings::*number = nullptr;
};

// The fields of ProgramSettings other than the unit texts, in the order the options dialog's
// Apply writes them (the count format before the day type); loading reads them in this order too.
// clang-format off
inline constexpr std::array<ProgramField, 17> kProgramFields = {{
    {setting::TargetYear, &ProgramSettings::TargetYear},
    {setting::TargetMonth, &ProgramSettings::TargetMonth},
    {setting::TargetDay, &ProgramSettings::TargetDay},
    {setting::CaptionOption, &ProgramSettings::CaptionOption},
    {setting::TargetType, &ProgramSettings::TargetType},
    {setting::TargetTime, &ProgramSettings::TargetTime},
    {setting::CountUp, &ProgramSettings::CountUp},
    {setting::RenewYearly, &ProgramSettings::RenewYearly},
    {setting::CountDownFile, &ProgramSettings::CountDownFile},
    {setting::ContinuousSave, nullptr, &ProgramSettings::ContinuousSave},
    {setting::FileBeforeText, &ProgramSettings::FileBeforeText},
    {setting::FileAfterText, &ProgramSettings::FileAfterText},
    {setting::ProjectTitle, &ProgramSettings::ProjectTitle},
    {setting::ProjectFile, &ProgramSettings::ProjectFile},
    {setting::UseHolidays, &ProgramSettings::UseHolidays},
    {setting::WorkWeek, &ProgramSettings::WorkWeek},
    {setting::HolidayFeed, &ProgramSettings::HolidayFeed},
}};
// clang-format on

// The unit texts follow one key pattern: "<unit> Before Text" and "<unit> After Text", written
// after the fields above, years first, each unit's before text then its after text.
struct UnitKeys
{
    const char* unit;
    const char* afterDefault; // null: the day type
};
// clang-format off
inline constexpr std::array<UnitKeys, 5> kUnitKeys = {{
    {"YY", " Years "},
    {"DD", nullptr},
    {"HH", " Hours "},
    {"MM", " Minutes "},
    {"SS", " Seconds "},
}};
// clang-format on
inline constexpr const char* kUnitBeforeDefault = " ";
inline constexpr std::size_t kDaysUnit = 1;
// The key of a unit's before or after text, with its default.
struct UnitTextKey
{
    std::string key;
    const char* defaultValue; // null: the day type
    Computed computed;
};
UnitTextKey UnitTextKeyOf(std::size_t unit, bool after);
// The field of a unit's before or after text.
std::string& UnitTextField(ProgramSettings& settings, std::size_t unit, bool after);
const std::string& UnitTextField(const ProgramSettings& settings, std::size_t unit, bool after);

// The field's value as the settings file stores it.
std::string FieldText(const ProgramSettings& settings, const ProgramField& field);

// The three fields that hold the target day: the first three of kProgramFields.
inline constexpr std::span<const ProgramField> kTargetDayFields{kProgramFields.data(), 3};
bool IsTargetDayField(const ProgramField& field);
// Gives the target day fields a day, as the settings file stores it.
void SetTargetDay(ProgramSettings& settings, int year, int month, int day);
// Sets the field from a stored text (Continuous_Save: text that is not a whole number means off,
// a whole number too large for 16 bits still means on and is kept as 1).
void SetField(ProgramSettings& settings, const ProgramField& field, std::string_view text);

// Reads a key with its default from the table (empty when the default is computed).
std::string ReadSetting(const SettingsFile& file, const SettingKey& key);
// Reads a key whose default is worked out by the caller.
std::string ReadSetting(const SettingsFile& file, const SettingKey& key, std::string_view defaultValue);

// Which program reads: the screensaver has its own project title default and no data files.
enum class SettingsReader : std::uint8_t
{
    Program,
    Screensaver,
};

// Loads ProgramSettings through the tables above, each key with its default; the countdown file
// and the milestone file default to dataDirectory/Kestrel.txt and dataDirectory/mileston.txt,
// and "DD After Text" defaults to the day type just read. With "Use Holidays" on, the work-day
// rule is the working week and the holiday cache of the settings file (LoadWorkCalendar).
ProgramSettings LoadProgramSettings(const SettingsFile& file, const std::filesystem::path& dataDirectory,
                                    SettingsReader reader = SettingsReader::Program);

// Whether this is a first run: no settings file exists at all. A file that exists counts as the
// user's, even an empty one or one without a target, and so does one that cannot be looked at.
bool IsFirstRun(const SettingsFile& file);

} // namespace kestrel
