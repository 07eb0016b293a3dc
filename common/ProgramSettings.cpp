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

ProgramSettings LoadProgramSettings(const SettingsFile& file, const std::filesystem::path& dataDirectory)
{
    const auto target = [&](const char* key, std::string_view fallback) {
        return file.ReadSetting(kTargetDateSection, key, fallback);
    };
    const auto options = [&](const char* key, std::string_view fallback) {
        return file.ReadSetting(kFileOptionsSection, key, fallback);
    };

    ProgramSettings settings;
    settings.TargetYear = target("Target_Year", "2000");
    settings.TargetMonth = target("Target_Month", "1");
    settings.TargetDay = target("Target_Day", "1");
    settings.TargetType = target("Target_Type", "Days");
    settings.CaptionOption = target("Caption_option", "yy:dd:hh:mm:ss");

    settings.CountDownFile = options("Count_Down_File", (dataDirectory / "Kestrel.txt").generic_string());
    settings.ContinuousSave = ToContinuousSave(options("Continuous_Save", "0"));
    settings.FileBeforeText = options("File Before Text", "T-");
    settings.FileAfterText = options("File After Text", "(Eastern Standard Time)");
    settings.ProjectTitle = options("Project Title", "Year 2000 Conversion Project");
    settings.ProjectFile = options("Project File", (dataDirectory / "mileston.txt").generic_string());

    settings.YYBeforeText = options("YY Before Text", " ");
    settings.YYAfterText = options("YY After Text", " Years ");
    settings.DDBeforeText = options("DD Before Text", " ");
    // The days caption follows the kind of day counted unless the file says otherwise.
    settings.DDAfterText = options("DD After Text", settings.TargetType);
    settings.HHBeforeText = options("HH Before Text", " ");
    settings.HHAfterText = options("HH After Text", " Hours ");
    settings.MMBeforeText = options("MM Before Text", " ");
    settings.MMAfterText = options("MM After Text", " Minutes ");
    settings.SSBeforeText = options("SS Before Text", " ");
    settings.SSAfterText = options("SS After Text", " Seconds ");
    return settings;
}

} // namespace kestrel
