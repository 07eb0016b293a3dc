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
// The settings file and the milestone file are never overwritten.
QString WriteCalendarFile(const Program& program, const std::string& path)
{
    const ProgramSettings& s = program.ProgramSettings;
    if (IsOtherProgramFile(path, program.settings.path(), s.ProjectFile)) {
        return QStringLiteral("that is the settings file or the milestone file");
    }
    try {
        ExportCalendar(path, s);
    } catch (const RuntimeError& error) {
        return QString::fromStdString(error.report());
    }
    return {};
}

// The milestone file's state as text, so that a new save of it makes the feed write again.
std::string MilestoneFileStamp(const std::filesystem::path& path)
{
    const std::optional<FileIdentity> identity = IdentityOfFile(path);
    if (!identity) {
        return "-";
    }
    return std::to_string(identity->inode) + ':' + std::to_string(identity->size) + ':' +
           std::to_string(identity->modifiedSeconds) + '.' + std::to_string(identity->modifiedNanoseconds);
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
    const std::string source = path + '\n' + s.ProjectFile + '\n' + MilestoneFileStamp(s.ProjectFile) + '\n' +
                               s.TargetYear + '\n' + s.TargetMonth + '\n' + s.TargetDay + '\n' + s.ProjectTitle;
    if (source == m_written) {
        return;
    }
    m_written = source;
    const QString problem = WriteCalendarFile(m_program, path);
    if (problem.isEmpty()) {
        m_failureReported = false;
    } else if (!m_failureReported) {
        m_failureReported = true;
        m_program.dialogs.MsgBox(QStringLiteral("The iCalendar file %1 cannot be written: %2. Check in Options.")
                                     .arg(QString::fromStdString(path), problem),
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
    const QString problem = WriteCalendarFile(program, path);
    if (!problem.isEmpty()) {
        program.dialogs.MsgBox(QStringLiteral("The iCalendar file %1 cannot be written: %2.").arg(*chosen, problem),
                               Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation, QString::fromLatin1(kProgramName));
    }
}

} // namespace kestrel
