// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtomicFile.h"
#include "CalendarShare.h"
#include "Countdowns.h"
#include "Program.h"
#include "ReportPdf.h"
#include "StartUp.h"
#include "StatusProgram.h"

#include <QApplication>

#include <cstdio>
#include <variant>

int main(int argc, char* argv[])
{
    // A file-size limit makes a save fail with a message rather than end the program.
    kestrel::IgnoreFileSizeLimitSignal();
    // Qt's own options (-platform offscreen, -display :1) are accepted everywhere; the commands
    // that open no window have no use for them.
    std::vector<char*> windowless = kestrel::WithoutQtOptions(argc, argv);
    int windowlessCount = static_cast<int>(windowless.size()) - 1;
    // The countdown for status bars needs no window toolkit: kestrel-status prints it.
    if (kestrel::WantsStatusOutput(windowlessCount, windowless.data())) {
        return kestrel::HandOverStatusOutput(windowlessCount, windowless.data());
    }
    // The project report as PDF needs no window either.
    if (kestrel::AsksForReportPdf(windowlessCount, windowless.data())) {
        return kestrel::RunReportPdfProgram(windowlessCount, windowless.data());
    }
    // The shared calendar is synced without a display, for cron jobs and scripts.
    if (kestrel::AsksForSync(windowlessCount, windowless.data())) {
        return kestrel::RunSyncProgram(windowlessCount, windowless.data());
    }
    // The command line is read before the application opens its display, so --help and
    // --version work anywhere, also without a desktop.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("countdown"),
                                        QStringLiteral("Show the countdown called NAME (Default: KESTREL.INI)."),
                                        QStringLiteral("NAME")));
    parser.addOption(QCommandLineOption(QStringLiteral("options"),
                                        QStringLiteral("Open the options dialog once the toolbar shows.")));
    parser.addOption(QCommandLineOption(QStringLiteral("settings"),
                                        QStringLiteral("Show the countdown of the settings file FILE."),
                                        QStringLiteral("FILE")));
    parser.setApplicationDescription(
        QStringLiteral("Kestrel counts down to a target day: in the title of a small toolbar window and in a\n"
                       "breakdown window of years, days, hours, minutes and seconds, in calendar days or work days.\n"
                       "It runs one window per countdown and desktop session: a second start raises the first.\n"
                       "Each countdown is a settings file: without an option Kestrel shows the countdown\n"
                       "\"Default\" (KESTREL.INI); --countdown NAME shows countdowns/NAME.INI beside it.\n\n"
                       "Without a window:\n"
                       "  --line               print the countdown line once (T-0:1:8:39:15)\n"
                       "  --json               print the countdown as one JSON object (for waybar)\n"
                       "  --watch              repeat --line or --json every second\n"
                       "  --export-ics FILE    write the milestones and the target day as an iCalendar file\n"
                       "  --report-pdf FILE    write the project report as a PDF file\n"
                       "  --sync               publish the milestones to the shared calendar once\n"
                       "(kestrel-status --help tells more; kestrel-status starts faster for status bars.)"));
    const kestrel::CommandLineAnswer answer =
        kestrel::ReadCommandLine(parser, arguments, QStringLiteral("kestrel"), QStringLiteral(KESTREL_VERSION), false);
    if (!answer.run) {
        return kestrel::PrintAnswer(answer);
    }
    kestrel::CountdownOption option;
    if (parser.isSet(QStringLiteral("countdown")) && parser.isSet(QStringLiteral("settings"))) {
        std::fprintf(stderr, "kestrel: --countdown and --settings cannot be given together\n");
        return 2;
    }
    if (parser.isSet(QStringLiteral("countdown"))) {
        option.name = parser.value(QStringLiteral("countdown")).toStdString();
    } else if (parser.isSet(QStringLiteral("settings"))) {
        option.settingsFile =
            std::filesystem::path(parser.value(QStringLiteral("settings")).toLocal8Bit().toStdString());
    }
    const kestrel::CountdownsHome home = kestrel::UserCountdownsHome();
    const std::variant<kestrel::CountdownPlace, std::string> countdown = kestrel::ResolveCountdown(option, home);
    if (const std::string* error = std::get_if<std::string>(&countdown)) {
        std::fprintf(stderr, "kestrel: %s\n", error->c_str());
        return 2;
    }

    const std::unique_ptr<QApplication> app = kestrel::OpenApplication(argc, argv, QStringLiteral("kestrel"));
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    return kestrel::StartProgram(*app, std::get<kestrel::CountdownPlace>(countdown), home,
                                 parser.isSet(QStringLiteral("options")));
}
