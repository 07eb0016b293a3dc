// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// kestrel-saver: the countdown full screen, as a screensaver.
#include "AtomicFile.h"
#include "Countdowns.h"
#include "Dialogs.h"
#include "SaverSettings.h"
#include "RuntimeError.h"
#include "Saver.h"
#include "ProgramSettings.h"
#include "Settings.h"
#include "StartUp.h"
#include "Steps.h"
#include "XScreenSaverList.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace kestrel;
using namespace kestrel::saver;

// Inside a screensaver host nobody could answer a message box: messages go to the host's log.
class LogDialogs final : public Dialogs
{
public:
    Answer MsgBox(const QString& text, Buttons, Icon, const QString& title) override
    {
        std::fprintf(stderr, "kestrel-saver: %s: %s\n", qPrintable(title), qPrintable(text));
        return Answer::Ok;
    }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<int> ChooseOne(const QString&, const QString&, const QStringList&) override { return std::nullopt; }
    std::optional<QColor> ShowColor(const QColor&) override { return std::nullopt; }
    std::optional<FontChoice> ShowFont(const FontChoice&) override { return std::nullopt; }
    std::optional<QString> ShowSave(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<PrintRange> ShowPrinter(QPrinter&, int, int, PrintRange) override { return std::nullopt; }
};

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop cleanly. exit() rather than quit(): the latter does not
// return while our window lives inside another program's.
void EndOnSignals(QObject* parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] { QCoreApplication::exit(0); });
    struct sigaction action = {};
    action.sa_handler = OnTerminate;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

QString LockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QStringLiteral("/kestrel-saver.lock");
}

// The user's xscreensaver settings: ~/.xscreensaver.
std::filesystem::path XScreenSaverUserFile()
{
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && *home != '\0' ? home : QDir::homePath().toStdString()) /
           ".xscreensaver";
}

// How xscreensaver is to start this saver: by its name when it was found on PATH, else by the
// path it was started from.
std::string SaverCommandLine(const char* argv0)
{
    if (std::strchr(argv0, '/') == nullptr) {
        return std::string(argv0) + " -root";
    }
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    return (error ? std::filesystem::absolute(argv0, error) : self).string() + " -root";
}

} // namespace

int main(int argc, char* argv[])
{
    kestrel::IgnoreFileSizeLimitSignal();
    // The command line is read before the application opens its display, so --help, --version
    // and usage errors need no desktop.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    const char* host = std::getenv("XSCREENSAVER_WINDOW");
    const SaverCommand command = ParseCommandLine(arguments, host != nullptr ? host : "");
    if (command.mode == SaverCommand::Mode::Answer || command.mode == SaverCommand::Mode::UsageError) {
        std::fputs(command.message.c_str(), command.mode == SaverCommand::Mode::Answer ? stdout : stderr);
        return command.mode == SaverCommand::Mode::Answer ? 0 : 2;
    }
    if (command.mode == SaverCommand::Mode::AddToXScreenSaver) {
        return AddToXScreenSaver(XScreenSaverUserFile(), kSystemXScreenSaverDefaults, SaverCommandLine(argv[0]), stdout,
                                 stderr);
    }
    const bool inHost = command.mode == SaverCommand::Mode::IntoWindow;
    // The countdown named on the command line, which must exist, or the one chosen in Kestrel's
    // options; a chosen one that has gone since falls back to Default.
    const CountdownsHome home = UserCountdownsHome();
    const std::string chosen =
        command.countdown.value_or(ReadSetting(SettingsFile(home.settingsFile), setting::ScreensaverCountdown));
    std::optional<CountdownPlace> countdown = FindCountdown(home, chosen);
    if (!countdown && command.countdown) {
        const std::optional<std::string> problem = CountdownNameProblem(chosen);
        std::fprintf(stderr, "kestrel-saver: %s\n",
                     problem ? ("--countdown " + chosen + ": " + *problem).c_str()
                             : ("there is no countdown called " + chosen).c_str());
        return 2;
    }
    if (!countdown) {
        std::fprintf(stderr, "kestrel-saver: there is no countdown called %s; showing Default\n", chosen.c_str());
        countdown = DefaultCountdown(home);
    }

    const std::unique_ptr<QApplication> app = OpenApplication(argc, argv, QStringLiteral("kestrel-saver"));
    QApplication::setApplicationName(QStringLiteral("kestrel-saver"));
    QApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));

    // A host window that is not there would leave the saver drawing nowhere, or in a stray
    // window of its own: the caller named a wrong window.
    if (inHost && !HostWindowExists(command.window)) {
        std::fprintf(stderr,
                     "kestrel-saver: there is no window 0x%x on this display (-window-id or XSCREENSAVER_WINDOW).\n",
                     static_cast<unsigned>(command.window));
        return 2;
    }

    // One screensaver at a time on the desktop. A host may run one per screen, each in its own
    // window, so there the lock does not apply.
    QLockFile lock(LockPath());
    if (!inHost && !lock.tryLock(0)) {
        return 0;
    }
    if (command.mode == SaverCommand::Mode::Configure) {
        // The message may stay open a long while; the screensaver must still be able to start.
        lock.unlock();
    }

    QtDialogs shownDialogs;
    LogDialogs loggedDialogs;
    Dialogs& dialogs = inHost ? static_cast<Dialogs&>(loggedDialogs) : shownDialogs;
    if (command.mode == SaverCommand::Mode::Configure) {
        dialogs.MsgBox(QString::fromStdString(ConfigurationMessage()), Dialogs::Buttons::Ok, Dialogs::Icon::Information,
                       QString::fromLatin1(kSaverTitle));
        return 0;
    }

    // The settings are read once; the screensaver never writes them.
    const SettingsFile file(countdown->settingsFile);
    SaverSettings settings;
    BreakdownStyle style = ScreensaverDesign();
    RunStep(dialogs, [&] { settings = LoadSaverSettings(file); });
    // A damaged holiday cache counts as none; a screensaver shows no message box over the screen.
    if (!settings.workDaysProblem.empty()) {
        std::fprintf(stderr, "kestrel-saver: %s\n", settings.workDaysProblem.c_str());
    }
    RunStep(dialogs, [&] { ReadCountDownSection(file, style, false); });

    EndOnSignals(app.get());
    if (!inHost) {
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    }
    SystemClock clock;
    Saver saver(settings, style, clock, command, [] { QCoreApplication::exit(0); });
    saver.start();
    return QApplication::exec();
}
