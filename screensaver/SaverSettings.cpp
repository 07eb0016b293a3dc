// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaverSettings.h"

#include "Countdown.h"
#include "ProgramSettings.h"
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

SaverSettings LoadSaverSettings(const SettingsFile& file)
{
    // The screensaver writes no data files, so their folder does not matter.
    return LoadProgramSettings(file, {}, SettingsReader::Screensaver);
}

BreakdownStyle ScreensaverDesign()
{
    BreakdownStyle style = BreakdownWindowDesign();
    style.interval.font.size = 14.25;
    style.project.font.size = 14.25;
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
    const QCommandLineOption addToXScreenSaver(
        QStringLiteral("add-to-xscreensaver"),
        QStringLiteral("Add the saver to xscreensaver's list in ~/.xscreensaver (starting from the system's list\n"
                       "when that file has none), and end."));
    const QCommandLineOption countdown(
        QStringLiteral("countdown"),
        QStringLiteral("Show the countdown called NAME (without it: the one chosen in Kestrel's options)."),
        QStringLiteral("NAME"));
    parser.addOption(countdown);
    parser.addOption(root);
    parser.addOption(windowId);
    parser.addOption(addToXScreenSaver);
    const CommandLineAnswer answer =
        ReadCommandLine(parser, list, QStringLiteral("kestrel-saver"), QStringLiteral(KESTREL_VERSION), true);
    if (!answer.run) {
        command.mode = answer.exitCode == 0 ? SaverCommand::Mode::Answer : SaverCommand::Mode::UsageError;
        command.message = (answer.exitCode == 0 ? answer.output : answer.error).toStdString();
        return command;
    }

    if (parser.isSet(countdown)) {
        command.countdown = parser.values(countdown).constLast().toStdString();
    }
    if (parser.isSet(addToXScreenSaver)) {
        command.mode = SaverCommand::Mode::AddToXScreenSaver;
        return command;
    }

    // The host's window from its id, or a usage error that names where the id came from.
    const auto intoWindow = [&command](std::string_view text, const std::string& source, const char* hint) {
        if (const auto id = ReadWindowId(text)) {
            command.mode = SaverCommand::Mode::IntoWindow;
            command.window = *id;
        } else {
            command.mode = SaverCommand::Mode::UsageError;
            command.message = "kestrel-saver: " + source + "'" + std::string(text) +
                              "' is not a window id (a number other than 0, such as 0x2a00007 or 44040199).\n" + hint;
        }
        return command;
    };
    if (parser.isSet(windowId)) {
        return intoWindow(parser.values(windowId).constLast().toStdString(),
                          "-window-id: ", "Try 'kestrel-saver --help' for the options it takes.\n");
    }
    if (!xscreensaverWindow.empty()) {
        return intoWindow(xscreensaverWindow, "XSCREENSAVER_WINDOW=", "");
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
    try {
        SaverSettings shown = s;
        shown.CaptionOption = ScreensaverFormat(s.CaptionOption);
        return ComputeCountdown(now, shown);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

BreakdownColumns SaverColumns(const SaverSettings& s, const std::optional<CountdownBreakdown>& breakdown)
{
    return kestrel::showCountdown(s.CaptionOption, breakdown ? *breakdown : OutOfRangeCountdown(DateValue{}),
                                  s.unitTexts, true, BreakdownVariant::Screensaver);
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
