// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CountdownDisplay.h"

#include <string>

namespace kestrel {

struct Program;

// Keeps the iCalendar file named in the options up to date: after every save of the milestone
// file and every change of the target or the project title, the next tick writes it again, so a
// calendar program that subscribes to it follows. A file that cannot be written is reported once;
// later failures (after each save of the milestones) are silent until the options are applied again
// or a write succeeds.
class CalendarFeed final : public CountdownDisplay
{
public:
    explicit CalendarFeed(Program& program);
    ~CalendarFeed() override;
    CalendarFeed(const CalendarFeed&) = delete;
    CalendarFeed& operator=(const CalendarFeed&) = delete;

    void showCountdown() override { update(); }
    // After the options dialog (or another window the toolbar opens modally) closes: the file is
    // written again, and a failure is reported again.
    void redraw() override;

    // Writes the calendar file when what it shows has changed since the last write.
    void update();

private:
    Program& m_program;
    // What the last write (or failed write) was made from.
    std::string m_written;
    // A failure has been reported since the options were last applied.
    bool m_failureReported = false;
};

// "Export iCalendar...": asks for a file with the save-as dialog and writes the calendar of the
// milestone file and the target there. Cancelling does nothing; the settings file and the
// milestone file are refused, and a file that cannot be written is reported, with a message box.
// For the desk calendar's milestone menu.
void ExportCalendarToChosenFile(Program& program);

} // namespace kestrel
