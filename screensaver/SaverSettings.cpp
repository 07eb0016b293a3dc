#include "SaverSettings.h"

#include "Countdown.h"
#include "RuntimeError.h"
#include "Settings.h"
#include "StartUp.h"

#include <QCommandLineParser>

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

std::string GetINIString(const SettingsFile& file, std::string_view key, std::string_view defaultValue)
{
    return file.ReadSetting("Target Date", key, defaultValue);
}

std::string GetINIOptions(const SettingsFile& file, std::string_view key, std::string_view defaultValue)
{
    return file.ReadSetting("File Options", key, defaultValue);
}

SaverSettings LoadSaverSettings(const SettingsFile& file)
{
    SaverSettings s;
    s.TargetYear = GetINIString(file, "Target_Year", "2000");
    s.TargetMonth = GetINIString(file, "Target_Month", "1");
    s.TargetDay = GetINIString(file, "Target_Day", "1");
    s.TargetType = GetINIString(file, "Target_Type", "Days");
    s.CaptionOption = GetINIString(file, "Caption_option", "yy:dd:hh:mm:ss");
    s.ProjectTitle = GetINIOptions(file, "Project Title", "Countdown to Year 2000");
    UnitTexts& t = s.texts;
    t.YYBefore = GetINIOptions(file, "YY Before Text", " ");
    t.YYAfter = GetINIOptions(file, "YY After Text", " Years ");
    t.DDBefore = GetINIOptions(file, "DD Before Text", " ");
    t.DDAfter = GetINIOptions(file, "DD After Text", s.TargetType);
    t.HHBefore = GetINIOptions(file, "HH Before Text", " ");
    t.HHAfter = GetINIOptions(file, "HH After Text", " Hours ");
    t.MMBefore = GetINIOptions(file, "MM Before Text", " ");
    t.MMAfter = GetINIOptions(file, "MM After Text", " Minutes ");
    t.SSBefore = GetINIOptions(file, "SS Before Text", " ");
    t.SSAfter = GetINIOptions(file, "SS After Text", " Seconds ");
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

    QStringList list{QStringLiteral("kestrel-saver")};
    for (const std::string& argument : arguments) {
        list.append(QString::fromStdString(argument));
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows Kestrel's countdown to the target day full screen, on every screen, until a key or the\n"
                       "mouse ends it; as a screensaver host's hack it draws into the host's window instead.\n"
                       "It reads Kestrel's settings and never writes them.\n\n"
                       "/c, /c:NNNN   Say where the screensaver's settings are made, and end.\n"
                       "/s, /p NNNN   Run full screen (as with no arguments).\n"
                       "Options may be written with one dash as well: -root, -window-id ID."));
    const QCommandLineOption root(
        QStringLiteral("root"), QStringLiteral("Draw on the root window, or into XSCREENSAVER_WINDOW when it is set."));
    const QCommandLineOption windowId(QStringLiteral("window-id"),
                                      QStringLiteral("Draw into the host's window <id> (0x hexadecimal or decimal)."),
                                      QStringLiteral("id"));
    parser.addOption(root);
    parser.addOption(windowId);
    const CommandLineAnswer answer =
        ReadCommandLine(parser, list, QStringLiteral("kestrel-saver"), QStringLiteral(KESTREL_VERSION), true);
    if (!answer.run) {
        command.mode = answer.exitCode == 0 ? SaverCommand::Mode::Answer : SaverCommand::Mode::UsageError;
        command.message = (answer.exitCode == 0 ? answer.output : answer.error).toStdString();
        return command;
    }

    if (parser.isSet(windowId)) {
        const QString text = parser.values(windowId).constLast();
        if (const auto id = ReadWindowId(text.toStdString())) {
            command.mode = SaverCommand::Mode::IntoWindow;
            command.window = *id;
            return command;
        }
        command.mode = SaverCommand::Mode::UsageError;
        command.message = "kestrel-saver: -window-id: '" + text.toStdString() +
                          "' is not a window id (a number other than 0, such as 0x2a00007 or 44040199).\n"
                          "Try 'kestrel-saver --help' for the options it takes.\n";
        return command;
    }
    if (!xscreensaverWindow.empty()) {
        if (const auto id = ReadWindowId(xscreensaverWindow)) {
            command.mode = SaverCommand::Mode::IntoWindow;
            command.window = *id;
            return command;
        }
        command.mode = SaverCommand::Mode::UsageError;
        command.message = "kestrel-saver: XSCREENSAVER_WINDOW='" + std::string(xscreensaverWindow) +
                          "' is not a window id (a number other than 0, such as 0x2a00007 or 44040199).\n";
        return command;
    }
    if (parser.isSet(root)) {
        command.mode = SaverCommand::Mode::IntoWindow;
        command.window = 0;
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
