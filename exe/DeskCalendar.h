// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CountdownDisplay.h"
#include "DeskCalendarModel.h"
#include "DeskCalendarWidgets.h"
#include "WindowRegistry.h"

#include <QFrame>
#include <QMainWindow>

#include <array>
#include <filesystem>
#include <optional>

class QAbstractButton;
class QLabel;

namespace kestrel {

struct Program;

// The desk calendar ("frmDeskCal"): one month as a grid of days, each with its countdown number
// towards the target, milestone days marked and numbered, today and the target framed. Two
// strips of month tabs stand for the pages of a desk calendar; the jump buttons move by month,
// by year, to today, to the target and to the months that hold milestones. A double-click on a
// day opens the milestone editor.
class DeskCalendar : public QMainWindow, public CountdownDisplay
{
    Q_OBJECT
public:
    // Runs the load steps: open flag, place, caption, today line, the milestones, today's month.
    explicit DeskCalendar(Program& program);
    ~DeskCalendar() override;

    // Makes a month the shown one, sets the strips to it and fills the grid.
    void ShowMonth(YearMonth month);
    // Fills the grid for a month; the program's refresh of every open display calls it with the
    // shown month.
    void FillMonth(YearMonth month);
    // Shows the month the program holds as the calendar's shown month (the toolbar turns it to
    // the target's month after the options dialog), strips included.
    void ShowProgramMonth();

    // Every tick: when the date has changed since the last fill, the grid is filled again so
    // today's frame moves on at midnight.
    void showCountdown() override;
    // After the options dialog and the other modal windows: the month the program holds now (the
    // target's month after the options dialog) with the target and day type as they are now.
    void redraw() override;
    YearMonth shownMonth() const { return m_shown; }
    int marksInMonth() const { return m_grid.marksInMonth; }
    const MonthGrid& grid() const { return m_grid; }

    // A jump button, or one of the two arrow pictures (the previous and the next month).
    void jump(Jump which);
    // A tab of either strip made current by the user.
    void monthTabPicked(int tab);
    // A double-click on day cell 0 to 41.
    void dayChosen(int index);
    // The arrow keys move the keyboard focus from day to day within the month.
    void moveFocus(int index, int delta);
    // The menus.
    void markMilestone();
    void clearAllMilestones();
    void exitWindow();

    CalendarDayCell* cell(int index) const { return m_cells[static_cast<std::size_t>(index)]; }
    QLabel* todayLine() const { return m_todayLine; }
    QLabel* sharedCalendarLine() const { return m_shareStatus; }
    QLabel* monthTitle() const { return m_title; }
    MonthStrip* leftMonthStrip() const { return m_left; }
    MonthStrip* rightMonthStrip() const { return m_right; }
    QAbstractButton* jumpButton(Jump which) const { return m_jumps[static_cast<std::size_t>(which)]; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void applyGrid();
    void applyStrips();
    void reportOnce(const RuntimeError& error);

    Program& m_program;
    YearMonth m_shown;
    MonthGrid m_grid;
    std::optional<YearMonth> m_overflowReported;
    long long m_filledOnDay = 0; // the day number of "today" at the last fill
    QLabel* m_todayLine = nullptr;
    QLabel* m_shareStatus = nullptr;
    QLabel* m_title = nullptr;
    MonthStrip* m_left = nullptr;
    MonthStrip* m_right = nullptr;
    std::array<CalendarDayCell*, kGridCells> m_cells{};
    std::array<QAbstractButton*, kJumpCount> m_jumps{};
    WindowLife m_life;
};

} // namespace kestrel
