// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DeskCalendarModel.h"

#include <QFrame>
#include <QWidget>

#include <array>
#include <string>

class QAbstractButton;
class QLabel;

namespace kestrel {

// A strip of twelve month tabs down one side of the calendar, one per month of the shown year,
// each showing its month caption or "-". At most one tab is current (drawn as the open page).
class MonthStrip : public QWidget
{
    Q_OBJECT
public:
    explicit MonthStrip(Qt::Edge side, QWidget* parent);
    void setCaptions(const std::array<std::string, 12>& captions);
    QString caption(int tab) const;
    // -1 for none.
    int currentTab() const { return m_current; }
    void setCurrentTab(int tab);
    QAbstractButton* tab(int index) const { return m_tabs[static_cast<std::size_t>(index)]; }

signals:
    // The user chose a tab (mouse, keyboard or access key).
    void tabPicked(int tab);

private:
    std::array<QAbstractButton*, 12> m_tabs{};
    int m_current = -1;
};

// One day of the desk calendar: the day label above, the count label below, coloured when the
// day holds a milestone and framed when it is today or the target. Double-clicking it (or
// pressing Enter on it) asks for the milestone editor.
class CalendarDayCell : public QFrame
{
    Q_OBJECT
public:
    CalendarDayCell(int index, QWidget* parent);
    void show(const DayCell& cell, const QString& accessibleName);
    QLabel* dayLabel() const { return m_day; }
    QLabel* countLabel() const { return m_count; }

signals:
    void chosen(int index);
    // An arrow key: move by `delta` cells (±1 a day, ±7 a week).
    void stepped(int index, int delta);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_index;
    QLabel* m_day;
    QLabel* m_count;
};

} // namespace kestrel
