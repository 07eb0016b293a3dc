// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Program.h"
#include "StartUp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The command line is read before the application opens its display, so --help and
    // --version work anywhere, also without a desktop.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kestrel counts down to a target day: in the title of a small toolbar window and in a\n"
                       "breakdown window of years, days, hours, minutes and seconds, in calendar days or work days.\n"
                       "It runs one window per desktop session: a second start raises the first."));
    const kestrel::CommandLineAnswer answer =
        kestrel::ReadCommandLine(parser, arguments, QStringLiteral("kestrel"), QStringLiteral(KESTREL_VERSION), false);
    if (!answer.run) {
        return kestrel::PrintAnswer(answer);
    }

    const std::unique_ptr<QApplication> app = kestrel::OpenApplication(argc, argv, QStringLiteral("kestrel"));
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kestrel"));
    return kestrel::StartProgram(*app);
}
