#include "SaverSettings.h"

#include "Countdown.h"
#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "Settings.h"

#include <array>
#include <charconv>

namespace kestrel::saver {

namespace {

std::optional<std::uint32_t> ReadWindowId(std::string_view text)
{
    std::uint32_t id = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || id == 0) {
        return std::nullopt;
    }
    return id;
}

} // namespace

SaverSettings LoadSaverSettings(const SettingsFile& file)
{
    SaverSettings s;
    s.TargetYear = ReadSetting(file, setting::TargetYear);
    s.TargetMonth = ReadSetting(file, setting::TargetMonth);
    s.TargetDay = ReadSetting(file, setting::TargetDay);
    s.TargetType = ReadSetting(file, setting::TargetType);
    s.CaptionOption = ReadSetting(file, setting::CaptionOption);
    s.ProjectTitle = ReadSetting(file, setting::ProjectTitle, setting::kSaverProjectTitleDefault);
    // The unit texts, in the order of the settings table.
    const std::array<std::string UnitTexts::*, 10> fields = {
        &UnitTexts::YYBefore, &UnitTexts::YYAfter,  &UnitTexts::DDBefore, &UnitTexts::DDAfter,  &UnitTexts::HHBefore,
        &UnitTexts::HHAfter,  &UnitTexts::MMBefore, &UnitTexts::MMAfter,  &UnitTexts::SSBefore, &UnitTexts::SSAfter};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        s.texts.*fields[i] = i == setting::kDaysAfterText ? ReadSetting(file, setting::UnitTexts[i], s.TargetType)
                                                          : ReadSetting(file, setting::UnitTexts[i]);
    }
    return s;
}

BreakdownStyle ScreensaverDesign()
{
    BreakdownStyle style = BreakdownWindowDesign();
    style.interval.fontSize = 14.25;
    style.project.fontSize = 14.25;
    return style;
}

SaverCommand ParseCommandLine(const std::vector<std::string>& arguments, std::string_view xscreensaverWindow)
{
    SaverCommand command;
    if (!arguments.empty() && arguments.front().starts_with("/c")) {
        command.mode = SaverCommand::Mode::Configure;
        return command;
    }
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-window-id" || arguments[i] == "--window-id") {
            if (const auto id = ReadWindowId(arguments[i + 1])) {
                command.mode = SaverCommand::Mode::IntoWindow;
                command.window = *id;
                return command;
            }
        }
    }
    if (const auto id = ReadWindowId(xscreensaverWindow)) {
        command.mode = SaverCommand::Mode::IntoWindow;
        command.window = *id;
        return command;
    }
    for (const std::string& argument : arguments) {
        if (argument == "-root" || argument == "--root") {
            command.mode = SaverCommand::Mode::IntoWindow;
            command.window = 0;
            return command;
        }
    }
    return command;
}

std::string ConfigurationMessage()
{
    return "The Kestrel screensaver shows the countdown of Kestrel and has no settings of its own.\n\n"
           "The target date and the countdown format (for example days only) are set in Kestrel under "
           "Set Target Date and Options; the colours, fonts and labels in the Format menu of its "
           "Countdown Breakdown window.";
}

std::optional<CountdownBreakdown> SaverCountdown(DateValue now, const SaverSettings& s)
{
    // Without an hours family, every format but the years family counts as the days family of
    // the same length.
    std::string format = s.CaptionOption;
    if (FamilyOf(format) == FormatFamily::Hours) {
        format.replace(0, std::min<std::size_t>(2, format.size()), "dd");
    }
    try {
        return ComputeCountdown(now, s.TargetYear, s.TargetMonth, s.TargetDay, s.TargetType, format);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

BreakdownColumns SaverColumns(const SaverSettings& s, const std::optional<CountdownBreakdown>& breakdown)
{
    if (breakdown) {
        return kestrel::showCountdown(s.CaptionOption, *breakdown, s.texts, true, BreakdownVariant::Screensaver);
    }
    BreakdownColumns columns;
    columns[0] = {"", true, kOutOfRangeMark, true};
    return columns;
}

bool ExitCounter::count(Event event)
{
    const int limit = event == Event::CaptionMotion ? 5 : 26;
    if (m_count >= limit) {
        return true;
    }
    ++m_count;
    return false;
}

} // namespace kestrel::saver
