#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

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

// Loads ProgramSettings in the order of the settings file's table, each key with its default;
// the countdown file and the milestone file default to dataDirectory/Kestrel.txt and
// dataDirectory/mileston.txt, and "DD After Text" defaults to the day type just read.
ProgramSettings LoadProgramSettings(const SettingsFile& file, const std::filesystem::path& dataDirectory);

} // namespace kestrel
