// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartUp.h"

#include <QApplication>
#include <QDebug>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

namespace kestrel {

namespace {

// Qt's own command-line options, which QApplication takes out of the command line itself: those
// that take a value, then the flags.
// clang-format off
constexpr const char* kQtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
    "session", "display", "geometry", "title", "icon", "name", "visual", "style", "stylesheet", "qmljsdebugger",
};
constexpr const char* kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "testability"};
// clang-format on

// The name of an option written with one dash or two ("-platform", "--platform"); empty for an
// argument that is no option.
std::string_view OptionName(const char* argument)
{
    std::string_view text(argument);
    if (text.size() < 2 || text[0] != '-') {
        return {};
    }
    text.remove_prefix(text[1] == '-' ? 2 : 1);
    return text;
}

bool IsOneOf(std::string_view name, std::span<const char* const> names)
{
    return std::any_of(names.begin(), names.end(), [name](const char* known) { return name == known; });
}

QString UsageHint(const QString& program)
{
    return QStringLiteral("Try '%1 --help' for the options it takes.\n").arg(program);
}

// What Qt reports while the application looks for its display. Qt ends the process on a fatal
// message from inside the QApplication constructor, so the messages are kept until it is known
// whether one comes.
struct DisplayWatch
{
    QString program;
    QStringList messages;
    QtMessageHandler previous = nullptr;
};
DisplayWatch* g_watch = nullptr; // only while the QApplication constructor runs

void WatchDisplayMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        g_watch->messages.append(message);
        return;
    }
    g_watch->messages.append(message);
    const QString line = NoDisplayLine(g_watch->program, g_watch->messages, qEnvironmentVariable("DISPLAY"),
                                       qEnvironmentVariable("WAYLAND_DISPLAY"));
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
    (void)context;
    std::_Exit(1);
}

} // namespace

std::vector<char*> WithoutQtOptions(int argc, char** argv)
{
    std::vector<char*> kept;
    for (int i = 0; i < argc; ++i) {
        const std::string_view name = i == 0 ? std::string_view() : OptionName(argv[i]);
        if (!name.empty() && IsOneOf(name, kQtValueOptions)) {
            ++i; // and its value
        } else if (name.empty() || !IsOneOf(name, kQtFlagOptions)) {
            kept.push_back(argv[i]);
        }
    }
    kept.push_back(nullptr);
    return kept;
}

CommandLineAnswer ReadCommandLine(QCommandLineParser& parser, const QStringList& arguments, const QString& program,
                                  const QString& version, bool allowArguments)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and ends."));
    const QCommandLineOption showVersion(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(showVersion);
    for (const char* name : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLineAnswer answer;
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help)) {
        answer.run = false;
        // Qt names the program by its path, or not at all before the application exists.
        QString text = parser.helpText();
        const QString usage = QStringLiteral("Usage: ");
        if (text.startsWith(usage)) {
            const qsizetype end = text.indexOf(QLatin1Char(' '), usage.size());
            text.replace(usage.size(), end - usage.size(), program);
        }
        answer.output = text;
        return answer;
    }
    if (parsed && parser.isSet(showVersion)) {
        answer.run = false;
        answer.output = QStringLiteral("%1 %2\n").arg(program, version);
        return answer;
    }
    if (!parsed) {
        answer.run = false;
        answer.exitCode = 2;
        answer.error = QStringLiteral("%1: %2\n").arg(program, parser.errorText()) + UsageHint(program);
        return answer;
    }
    if (!allowArguments && !parser.positionalArguments().isEmpty()) {
        answer.run = false;
        answer.exitCode = 2;
        answer.error =
            QStringLiteral("%1: unexpected argument '%2'.\n").arg(program, parser.positionalArguments().front()) +
            UsageHint(program);
    }
    return answer;
}

int PrintAnswer(const CommandLineAnswer& answer)
{
    if (!answer.output.isEmpty()) {
        std::fputs(answer.output.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    }
    if (!answer.error.isEmpty()) {
        std::fputs(answer.error.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
    return answer.exitCode;
}

QString NoDisplayLine(const QString& program, const QStringList& qtMessages, const QString& display,
                      const QString& waylandDisplay)
{
    // A platform that Qt has no plugin for is not a missing display.
    for (const QString& message : qtMessages) {
        if (message.startsWith(QLatin1String("Could not find the Qt platform plugin"))) {
            const qsizetype start = message.indexOf(QLatin1Char('"'));
            const qsizetype end = message.indexOf(QLatin1Char('"'), start + 1);
            const QString platform = start >= 0 && end > start ? message.mid(start + 1, end - start - 1) : QString();
            return QStringLiteral(
                       "%1: cannot open a window: Qt has no \"%2\" platform plugin here (see QT_QPA_PLATFORM)")
                .arg(program, platform);
        }
    }
    QString where;
    if (display.isEmpty() && waylandDisplay.isEmpty()) {
        where = QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
    } else {
        QStringList tried;
        if (!display.isEmpty()) {
            tried.append(QStringLiteral("DISPLAY=%1").arg(display));
        }
        if (!waylandDisplay.isEmpty()) {
            tried.append(QStringLiteral("WAYLAND_DISPLAY=%1").arg(waylandDisplay));
        }
        where = QStringLiteral("could not connect to ") + tried.join(QStringLiteral(" or "));
    }
    return QStringLiteral("%1: no display found (%2); start it from a desktop session").arg(program, where);
}

std::unique_ptr<QApplication> OpenApplication(int& argc, char** argv, const QString& program)
{
    DisplayWatch watch{program, {}, nullptr};
    g_watch = &watch;
    watch.previous = qInstallMessageHandler(WatchDisplayMessages);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(watch.previous);
    g_watch = nullptr;
    // The display was found: what Qt said meanwhile goes where it would have gone.
    for (const QString& message : watch.messages) {
        qWarning().noquote() << message;
    }
    return app;
}

} // namespace kestrel
