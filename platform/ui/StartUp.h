// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QApplication;

namespace kestrel {

// What reading a program's command line decided: go on and run, or end at once with the exit
// status after printing `output` (standard output) or `error` (standard error).
struct CommandLineAnswer
{
    bool run = true;
    int exitCode = 0;
    QString output;
    QString error;
};

// Reads a command line with the program's own options already added to the parser. Adds
// --help/-h and --version/-v, accepts Qt's own options (-platform, -display, -style...) without
// listing them, and reads options with one dash as words ("-root", "-window-id"). Help and
// version are answered here, before any window or display is needed; an unknown option or an
// unexpected argument is a usage error (status 2) with a hint to --help. Free arguments are
// allowed only when `allowArguments` is true.
CommandLineAnswer ReadCommandLine(QCommandLineParser& parser, const QStringList& arguments, const QString& program,
                                  const QString& version, bool allowArguments);

// The command line without Qt's own options and their values (-platform offscreen, -display :1,
// -reverse...), for the parts of a program that run without a window and do not know them; the
// program's name stays first, and a null pointer ends the list as it ends argv.
std::vector<char*> WithoutQtOptions(int argc, char** argv);

// Prints an answer's texts and returns its exit status.
int PrintAnswer(const CommandLineAnswer& answer);

// The one line that says why no window can open, from what Qt reported while it looked for its
// display, with the display variables of the environment.
QString NoDisplayLine(const QString& program, const QStringList& qtMessages, const QString& display,
                      const QString& waylandDisplay);

// Creates the application on the desktop's display. When none can be reached (no DISPLAY, an X
// server that is gone, no Wayland compositor), prints one line that says so and ends the process
// with status 1, where Qt alone would abort with advice to reinstall.
std::unique_ptr<QApplication> OpenApplication(int& argc, char** argv, const QString& program);

} // namespace kestrel
