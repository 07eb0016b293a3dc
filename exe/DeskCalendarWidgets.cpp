// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendarWidgets.h"

#include "Units.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace kestrel {

namespace {

// The day label's colours: light cyan, and orange on a day with a milestone.
constexpr ColorValue kDayColor = 16777152;
constexpr ColorValue kMarkedColor = 33023;
// The frames of today and of the target day.
const char* const kTodayFrame = "#1c57c4";
const char* const kTargetFrame = "#c01c28";

const char* const kCellTooltip = "Double-Click to set milestone";

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

// --- One day ---------------------------------------------------------------------------------

CalendarDayCell::CalendarDayCell(int index, QWidget* parent) : QFrame(parent), m_index(index)
{
    setObjectName(QStringLiteral("DayCell"));
    setProperty("Index", index);
    setFocusPolicy(Qt::StrongFocus);
    // Room for a day number over a count of four figures in the desktop's font; the numbers
    // themselves grow with the cell.
    const QFontMetrics metrics = fontMetrics();
    setMinimumSize(metrics.averageCharWidth() * 6, metrics.lineSpacing() * 5 / 2);
    // Six rows always, as on a printed calendar: an empty cell keeps its place.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);

    m_day = new QLabel(this);
    m_day->setObjectName(QStringLiteral("Label2"));
    m_day->setProperty("Index", index);
    m_day->setToolTip(QString::fromLatin1(kCellTooltip));
    m_day->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblDaysto2000"));
    m_count->setProperty("Index", index);
    m_count->setToolTip(QString::fromLatin1(kCellTooltip));
    m_count->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(0);
    layout->addWidget(m_day, 3);
    auto* countRow = new QHBoxLayout;
    countRow->addStretch(1);
    countRow->addWidget(m_count, 4);
    countRow->addStretch(1);
    layout->addLayout(countRow, 2);
}

void CalendarDayCell::show(const DayCell& cell, const QString& accessibleName)
{
    const bool hasDay = cell.day != 0;
    setVisible(hasDay);
    if (!hasDay) {
        return;
    }
    m_day->setText(FromStd(cell.dayCaption()));
    m_day->setVisible(true);
    m_count->setText(FromStd(cell.countCaption()));
    m_count->setVisible(cell.count.has_value());

    const QColor back = ColorFromValue(cell.milestone > 0 ? kMarkedColor : kDayColor);
    // A holiday is framed in the palette's highlight colour, light or dark, unless today or the
    // target frame it already.
    const bool holiday = !cell.holiday.empty();
    const QString frame = cell.today    ? QString::fromLatin1(kTodayFrame)
                          : cell.target ? QString::fromLatin1(kTargetFrame)
                          : holiday     ? palette().color(QPalette::Highlight).name()
                                        : QStringLiteral("#8fa9b8");
    const int width = cell.today || cell.target ? 3 : holiday ? 2 : 1;
    setProperty("holiday", holiday);
    // The count label carries its own single-line border on today and the target.
    const QString countBorder =
        cell.today || cell.target ? QStringLiteral("1px solid #202020") : QStringLiteral("none");
    setStyleSheet(QStringLiteral("kestrel--CalendarDayCell { background: %1; border: %2px solid %3; }"
                                 "kestrel--CalendarDayCell:focus { border-style: dashed; border-width: 3px; }"
                                 "QLabel { background: transparent; color: #101010; }"
                                 "QLabel#lblDaysto2000 { border: %4; }")
                      .arg(back.name(), QString::number(width), frame, countBorder));
    m_count->setProperty("BorderStyle", cell.today || cell.target ? 1 : 0);
    setAccessibleName(accessibleName);
    // A milestone's note shows where the eye is: in the tooltip, before the hint, and in the
    // description a screen reader gives. The cell itself stays as it is drawn.
    // A holiday's name stands beside the note.
    QString note = FromStd(cell.note);
    if (holiday) {
        note = note.isEmpty() ? FromStd(cell.holiday) : note + QLatin1Char('\n') + FromStd(cell.holiday);
    }
    QString tooltip = QString::fromLatin1(kCellTooltip);
    if (!note.isEmpty()) {
        // As rich text, so that a note with "<" shows as typed.
        tooltip = QStringLiteral("<p>") + note.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
                  QStringLiteral("<br>") + tooltip + QStringLiteral("</p>");
    }
    m_day->setToolTip(tooltip);
    m_count->setToolTip(tooltip);
    setAccessibleDescription(note);
}

void CalendarDayCell::mouseDoubleClickEvent(QMouseEvent* event)
{
    QFrame::mouseDoubleClickEvent(event);
    emit chosen(m_index);
}

void CalendarDayCell::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit chosen(m_index);
        return;
    case Qt::Key_Left:
        emit stepped(m_index, -1);
        return;
    case Qt::Key_Right:
        emit stepped(m_index, 1);
        return;
    case Qt::Key_Up:
        emit stepped(m_index, -7);
        return;
    case Qt::Key_Down:
        emit stepped(m_index, 7);
        return;
    default:
        break;
    }
    QFrame::keyPressEvent(event);
}

void CalendarDayCell::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    // The numbers grow with the cell, so the calendar reads well at any window size.
    const int h = height();
    QFont dayFont = font();
    dayFont.setPixelSize(std::max(10, h * 30 / 100));
    dayFont.setBold(true);
    m_day->setFont(dayFont);
    QFont countFont = font();
    countFont.setPixelSize(std::max(9, h * 22 / 100));
    m_count->setFont(countFont);
}

// --- The month strips ----------------------------------------------------------------------------

MonthStrip::MonthStrip(Qt::Edge side, QWidget* parent) : QWidget(parent)
{
    setToolTip(QStringLiteral("Change Month"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    // Tabs stick out away from the grid, like the pages of a desk calendar.
    const QString outer = side == Qt::LeftEdge ? QStringLiteral("left") : QStringLiteral("right");
    const QString style =
        QStringLiteral(
            // The tabs take the palette's colours, light or dark: a tab is a button, the month
            // shown is of the page's colour.
            "QToolButton { border: 1px solid palette(mid); border-%1: none; background: palette(button);"
            " color: palette(button-text); padding: 2px 8px;"
            " border-top-%2-radius: 6px; border-bottom-%2-radius: 6px; }"
            "QToolButton:checked { background: palette(base); color: palette(text); font-weight: bold; }"
            "QToolButton:hover { border-color: palette(highlight); }")
            .arg(side == Qt::LeftEdge ? QStringLiteral("right") : QStringLiteral("left"), outer);
    // Both strips keep the width of the longest month, so the grid stays in place from month
    // to month whatever each strip shows.
    QFont bold = font();
    bold.setBold(true);
    setFixedWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("September")) + 28);
    for (int t = 0; t < 12; ++t) {
        auto* tab = new QToolButton(this);
        tab->setObjectName(QStringLiteral("MonthTab"));
        tab->setProperty("Index", t);
        tab->setCheckable(true);
        tab->setToolButtonStyle(Qt::ToolButtonTextOnly);
        tab->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        tab->setStyleSheet(style);
        tab->setToolTip(QStringLiteral("Change Month"));
        connect(tab, &QToolButton::clicked, this, [this, t] {
            setCurrentTab(m_current); // the strip, not the button, decides what is current
            emit tabPicked(t);
        });
        layout->addWidget(tab, 1);
        m_tabs[static_cast<std::size_t>(t)] = tab;
    }
}

void MonthStrip::setCaptions(const std::array<std::string, 12>& captions)
{
    for (std::size_t t = 0; t < 12; ++t) {
        const QString caption = FromStd(captions[t]);
        m_tabs[t]->setText(caption);
        // A placeholder stands for no month: the keyboard passes it by, as a screen reader then does.
        const bool placeholder = caption == QLatin1String("-");
        m_tabs[t]->setFocusPolicy(placeholder ? Qt::NoFocus : Qt::TabFocus);
        m_tabs[t]->setAccessibleName(placeholder ? QStringLiteral("-") : QString(caption).remove('&'));
    }
}

QString MonthStrip::caption(int tab) const
{
    return tab >= 0 && tab < 12 ? m_tabs[static_cast<std::size_t>(tab)]->text() : QString();
}

void MonthStrip::setCurrentTab(int tab)
{
    m_current = tab >= 0 && tab < 12 ? tab : -1;
    for (int t = 0; t < 12; ++t) {
        m_tabs[static_cast<std::size_t>(t)]->setChecked(t == m_current);
    }
}

// --- The window ---------------------------------------------------------------------------------

} // namespace kestrel
