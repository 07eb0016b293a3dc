// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonthView.h"

#include <QAbstractItemView>
#include <QDate>
#include <QKeyEvent>

namespace kestrel {

namespace {

QDate ToQDate(DateValue value)
{
    const DateParts parts = SplitDate(value);
    return QDate(parts.year, parts.month, parts.day);
}

DateValue FromQDate(QDate date)
{
    return PackDate(date.year(), date.month(), date.day());
}

// Sees Enter on the calendar's day grid: pressing it on a date counts as clicking that date.
class EnterKeyWatcher final : public QObject
{
public:
    EnterKeyWatcher(MonthView* view, QObject* grid) : QObject(view), m_view(view) { grid->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_view->selectedDate().isValid()) {
                emit m_view->dateClicked(m_view->value());
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    MonthView* m_view;
};

} // namespace

MonthView::MonthView(QWidget* parent) : QCalendarWidget(parent)
{
    setFirstDayOfWeek(Qt::Sunday);
    setGridVisible(true);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // Every date a date value can hold, not only Qt's default range from 1752.
    setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));

    connect(this, &QCalendarWidget::clicked, this, [this](QDate date) { emit dateClicked(FromQDate(date)); });
    if (auto* grid = findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"))) {
        new EnterKeyWatcher(this, grid);
        grid->setAccessibleName(QStringLiteral("Days of the month"));
    }
    // The year box inside shows a bare number: a screen reader says what it is.
    if (auto* year = findChild<QWidget*>(QStringLiteral("qt_calendar_yearedit"))) {
        year->setAccessibleName(QStringLiteral("Year"));
    }
}

DateValue MonthView::value() const
{
    return FromQDate(selectedDate());
}

void MonthView::setValue(DateValue date)
{
    setSelectedDate(ToQDate(date));
}

} // namespace kestrel
