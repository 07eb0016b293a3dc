// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarFeed.h"

#include "AtomicFile.h"

#include "CountdownFile.h"
#include "ICalendar.h"
#include "Program.h"

namespace kestrel {

namespace {

// Writes the calendar of the milestone file and the target to path; what went wrong, or nothing.
// None of the program's own files is overwritten, but for `self`, the calendar feed being written.
QString WriteCalendarFile(Program& program, const std::string& path, std::optional<OwnFile> self)
{
    const ProgramSettings& s = program.ProgramSettings;
    if (const std::optional<OwnFile> clash = OwnFileAt(path, program.ownFiles(), self)) {
        return QStringLiteral("that is %1").arg(QString::fromStdString(OwnFileName(*clash)));
    }
    try {
        ExportCalendar(path, s, program.milestones.current());
    } catch (const RuntimeError& error) {
        return QString::fromStdString(error.report());
    }
    return {};
}

} // namespace

CalendarFeed::CalendarFeed(Program& program) : m_program(program)
{
    m_program.subscribe(this);
}

CalendarFeed::~CalendarFeed()
{
    m_program.unsubscribe(this);
}

void CalendarFeed::update()
{
    const std::string path = ReadSetting(m_program.settings, setting::CalendarFile);
    if (path.empty()) {
        m_written.clear();
        return;
    }
    const ProgramSettings& s = m_program.ProgramSettings;
    // A new read of the milestone table makes the feed write again.
    (void)m_program.milestones.current();
    const std::string source = path + '\n' + m_program.milestones.path().string() + '\n' +
                               std::to_string(m_program.milestones.revision()) + '\n' + s.TargetYear + '\n' +
                               s.TargetMonth + '\n' + s.TargetDay + '\n' + s.ProjectTitle;
    if (source == m_written) {
        return;
    }
    m_written = source;
    const QString problem = WriteCalendarFile(m_program, path, OwnFile::CalendarFeed);
    if (problem.isEmpty()) {
        m_failureReported = false;
    } else if (!m_failureReported) {
        m_failureReported = true;
        m_program.dialogs.MsgBox(
            QString::fromStdString(CouldNotBeSavedText("The calendar feed", path, problem.toStdString()) +
                                   ". Check in Options."),
            Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, QString::fromLatin1(kProgramName));
    }
}

void CalendarFeed::redraw()
{
    m_written.clear();
    m_failureReported = false;
    update();
}

void ExportCalendarToChosenFile(Program& program)
{
    const std::optional<QString> chosen = program.dialogs.ShowSave(
        QStringLiteral("kestrel.ics"), QStringLiteral("iCalendar files (*.ics)|*.ics|All files|*.*"),
        QStringLiteral("Export iCalendar"));
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    const std::string path = chosen->toStdString();
    const QString problem = WriteCalendarFile(program, path, std::nullopt);
    if (!problem.isEmpty()) {
        program.dialogs.MsgBox(
            QString::fromStdString(CouldNotBeSavedText("The calendar", path, problem.toStdString()) + "."),
            Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, QString::fromLatin1(kProgramName));
    }
}

} // namespace kestrel
