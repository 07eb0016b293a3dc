// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateCalculator.h"

#include "Countdown.h"
#include "DateCalculation.h"
#include "ElasticPanel.h"
#include "MonthView.h"
#include "OptionsPages.h"
#include "Presets.h"
#include "Program.h"
#include "Steps.h"
#include "ToolbarIcons.h"
#include "Units.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace kestrel {

namespace {

// The answer panel's design size in twips and its design font: wide and tall enough for the
// longest answer ("-315,537,811,200 Seconds") at that font, on two lines at most.
constexpr double kAnswerWidth = 5400;
constexpr double kAnswerHeight = 1000;
constexpr double kAnswerPointSize = 16;

// The gap between a date box and the picker below it, in pixels.
constexpr int kPickerGap = 2;

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* NewButton(const char* name, int index, const char* caption, const char* tooltip, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setProperty("Index", index);
    if (tooltip != nullptr) {
        button->setToolTip(QString::fromLatin1(tooltip));
    }
    // Enter in the date boxes must not press a button.
    button->setAutoDefault(false);
    return button;
}

QLabel* NewLabel(const char* name, const char* caption, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

QLineEdit* NewDateBox(const char* name, const char* designText, const char* tooltip, QWidget* parent)
{
    auto* box = new QLineEdit(QString::fromLatin1(designText), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(QString::fromLatin1(tooltip));
    // The dates come from the picker and the buttons only: typing is swallowed, and being read
    // only keeps pasting and dropping out too, while the text can still be selected and copied.
    box->setReadOnly(true);
    SwallowTyping(box);
    // Wide enough for "Sep 30, 2000" and then some.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("Www 00, 00000")) + 16);
    return box;
}

bool IsLeftRelease(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

// F4 and Alt+Down open the picker of a date box from the keyboard, as they open a drop-down list.
bool IsPickerKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier) ||
           (key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier);
}

bool IsKey(const QEvent* event, std::initializer_list<int> keys)
{
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int pressed = static_cast<const QKeyEvent*>(event)->key();
    return std::find(keys.begin(), keys.end(), pressed) != keys.end();
}

} // namespace

DateCalculator::DateCalculator(Program& program)
    : QMainWindow(nullptr), m_program(program), m_life(program, *this, kCalcName)
{
    setObjectName(QString::fromLatin1(kCalcName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Time Calculator"));
    setWindowIcon(KestrelIcon());
    buildWindow();

    // The load steps: each one that fails is reported and the next one runs.
    Dialogs& dialogs = m_program.dialogs;
    ShowBusyPointer();
    m_life.load();
    RunStep(dialogs, [this] {
        // Without a stored place the window opens at the top of the screen, centred across it.
        m_life.restorePlace(0, (ScreenWidthTwips() - PixelsToTwips(frameGeometry().width())) / 2);
    });
    RunStep(dialogs, [this] {
        for (const CalculatorInterval& interval : kCalculatorIntervals) {
            m_interval->addItem(Text(interval.item));
        }
        // The interval the countdown counts in, by the day-type rule of every display.
        const QString type =
            CountsWorkDays(m_program.ProgramSettings.TargetType) ? QStringLiteral("WorkDays") : QStringLiteral("Days");
        m_interval->setCurrentIndex(m_interval->findText(type, Qt::MatchExactly | Qt::MatchCaseSensitive));
        m_interval->setEditText(type);
    });
    RunStep(dialogs, [this] {
        // Each of the two changes recomputes the answer.
        m_from->setText(QString::fromStdString(DateBoxText(GetPresentDate(m_program.clock))));
        const ProgramSettings& s = m_program.ProgramSettings;
        m_to->setText(QString::fromStdString(TargetDateText(s.TargetMonth, s.TargetDay, s.TargetYear)));
    });
    ShowArrowPointer();
}

DateCalculator::~DateCalculator() = default;

void DateCalculator::buildWindow()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("vsElastic1"));
    setCentralWidget(panel);

    m_interval = new QComboBox(panel);
    m_interval->setObjectName(QStringLiteral("cboTypeOfCalculation"));
    // The interval box accepts typing; a typed text is kept as it is, never added to the list.
    m_interval->setEditable(true);
    m_interval->setInsertPolicy(QComboBox::NoInsert);
    m_interval->setCompleter(nullptr);
    // Its width does not follow the list, so the window's size is known before the list is filled.
    m_interval->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_interval->setMinimumContentsLength(12);
    m_interval->setEditText(QStringLiteral("Select an Interval"));
    auto* intervalLabel = NewLabel("Label1", "&Determine the number of ...", m_interval, panel);

    m_from = NewDateBox("txtFromDate", kNoDateText.data(), "Determine the From Date", panel);
    m_fromLabel = NewLabel("lblFrom", "&From:", m_from, panel);
    m_fromCalendar = NewButton("Command3", 0, "C&al...", "Determine the From Date", panel);

    m_to = NewDateBox("txtToDate", "Jan 1, 2000", "Determine the To Date", panel);
    m_toLabel = NewLabel("Label2", "&To:", m_to, panel);
    m_toCalendar = NewButton("Command3", 1, "Ca&l...", nullptr, panel);
    // Both buttons read "Cal...": a screen reader hears which date each one picks.
    m_fromCalendar->setAccessibleName(QStringLiteral("Pick the From date"));
    m_toCalendar->setAccessibleName(QStringLiteral("Pick the To date"));

    QPushButton* y2k = NewButton("Command2", 0, "&Y2K", "et To Date to January 1, 2000", panel);
    QPushButton* today = NewButton("Command2", 1, "&Today", "Set To to todays date", panel);
    QPushButton* copy = NewButton("Command2", 2, "&Copy", "Copy Answer to Clipboard", panel);

    m_answer = new ElasticPanel(panel);
    m_answer->setObjectName(QStringLiteral("VSEAnswer"));
    m_answer->setDesignSize(kAnswerWidth, kAnswerHeight);
    m_answer->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QFont answerFont = m_answer->font();
    answerFont.setPointSizeF(kAnswerPointSize);
    answerFont.setBold(true);
    m_answer->setDesignFont(answerFont);
    SetColors(*m_answer, palette().color(QPalette::Base), palette().color(QPalette::Text));
    m_answer->setMinimumSize(m_answer->sizeHint());
    m_answer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_answer->setAccessibleDescription(QStringLiteral("Answer"));

    auto* grid = new QGridLayout(panel);
    grid->addWidget(intervalLabel, 0, 0);
    grid->addWidget(m_interval, 0, 1, 1, 2);
    grid->addWidget(m_fromLabel, 1, 0);
    grid->addWidget(m_from, 1, 1);
    grid->addWidget(m_fromCalendar, 1, 2);
    grid->addWidget(m_toLabel, 2, 0);
    grid->addWidget(m_to, 2, 1);
    grid->addWidget(m_toCalendar, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(y2k);
    buttons->addWidget(today);
    buttons->addStretch(1);
    buttons->addWidget(copy);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->addWidget(m_answer, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    // The picker drops down below the box it was opened for, as a drop-down list does: over the
    // window and beyond it, and gone again at a click elsewhere or Escape.
    m_picker = new MonthView(this);
    m_picker->setObjectName(QStringLiteral("MonthView1"));
    m_picker->setWindowFlags(Qt::Popup);
    m_picker->hide();
    m_picker->installEventFilter(this);
    if (auto* days = m_picker->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"))) {
        days->installEventFilter(this);
    }

    QAction* exit = menuBar()->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuClose"));
    connect(exit, &QAction::triggered, this, &DateCalculator::exitWindow);

    connect(m_interval, &QComboBox::activated, this, &DateCalculator::chooseInterval);
    // Enter in the interval box takes its text as chosen, also a text the list does not hold
    // (the box hands its keys to its line edit, so this is where Enter arrives).
    connect(m_interval->lineEdit(), &QLineEdit::returnPressed, this, &DateCalculator::chooseInterval);
    connect(m_from, &QLineEdit::textChanged, this, &DateCalculator::calculateInterval);
    connect(m_to, &QLineEdit::textChanged, this, &DateCalculator::calculateInterval);
    connect(m_fromCalendar, &QPushButton::clicked, this, [this] { openPicker(Field::From); });
    connect(m_toCalendar, &QPushButton::clicked, this, [this] { openPicker(Field::To); });
    for (QWidget* opener : {static_cast<QWidget*>(m_from), static_cast<QWidget*>(m_to),
                            static_cast<QWidget*>(m_fromLabel), static_cast<QWidget*>(m_toLabel)}) {
        opener->installEventFilter(this);
    }
    connect(y2k, &QPushButton::clicked, this, &DateCalculator::setToY2K);
    connect(today, &QPushButton::clicked, this, &DateCalculator::setToToday);
    connect(copy, &QPushButton::clicked, this, &DateCalculator::copyAnswer);
    connect(m_picker, &MonthView::dateClicked, this, &DateCalculator::datePicked);

    // Polished and laid out now, so the size the load steps centre the window by is the one it
    // shows at.
    ensurePolished();
    layout()->activate();
    resize(sizeHint().expandedTo(minimumSizeHint()));
}

void DateCalculator::chooseInterval()
{
    const QString from = m_from->text();
    if (from.isEmpty() || from == Text(kNoDateText)) {
        m_from->setFocus(Qt::OtherFocusReason);
        return;
    }
    calculateInterval();
}

void DateCalculator::calculateInterval()
{
    const int year = Year(GetPresentDate(m_program.clock));
    showAnswer(QString::fromStdString(CalculateInterval(m_interval->currentText().toStdString(),
                                                        m_from->text().toStdString(), m_to->text().toStdString(), year,
                                                        m_program.ProgramSettings.workDayRule())));
}

void DateCalculator::showAnswer(const QString& answer)
{
    // The caption is the panel's accessible name, and a new name is announced to screen readers
    // (the toolkit sends the name-change event), so the answer is heard without the focus moving.
    m_answer->setCaption(answer);
}

void DateCalculator::openPicker(Field field)
{
    m_pickerField = field;
    m_picker->setValue(PickerStartDate(box(field)->text().toStdString(), GetPresentDate(m_program.clock)));
    placePicker();
    m_picker->show();
    m_picker->raise();
    m_picker->setFocus(Qt::OtherFocusReason);
}

void DateCalculator::datePicked(DateValue date)
{
    // Hidden first, so the focus that moves back to the box does not see it open.
    m_picker->hide();
    QLineEdit* target = box(m_pickerField);
    target->setText(QString::fromStdString(DateBoxText(date)));
    target->setFocus(Qt::OtherFocusReason);
}

void DateCalculator::hidePicker()
{
    if (m_picker->isVisible()) {
        m_picker->hide();
        box(m_pickerField)->setFocus(Qt::OtherFocusReason);
    }
}

// Below its date box, or above it when the screen ends below; kept on the screen.
void DateCalculator::placePicker()
{
    const QLineEdit* field = box(m_pickerField);
    const QSize size = m_picker->sizeHint();
    const QPoint fieldTop = field->mapToGlobal(QPoint(0, 0));
    const QScreen* screen = field->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect(fieldTop, size);
    int y = fieldTop.y() + field->height() + kPickerGap;
    if (y + size.height() > room.bottom() + 1) {
        y = std::max(room.top(), fieldTop.y() - kPickerGap - size.height());
    }
    const int x = std::clamp(fieldTop.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width()));
    m_picker->setGeometry(x, y, size.width(), size.height());
}

void DateCalculator::setToY2K()
{
    m_to->setText(QStringLiteral("Jan 01, 2000"));
}

void DateCalculator::setToToday()
{
    m_to->setText(QString::fromStdString(DateBoxText(GetPresentDate(m_program.clock))));
}

void DateCalculator::copyAnswer()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_answer->caption());
}

void DateCalculator::exitWindow()
{
    m_life.storePlace();
    close();
}

void DateCalculator::closeEvent(QCloseEvent* event)
{
    m_life.unload();
    event->accept();
}

bool DateCalculator::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_from || watched == m_fromLabel) {
        if (IsLeftRelease(event) || (watched == m_from && IsPickerKey(event))) {
            openPicker(Field::From);
            return watched == m_from && event->type() == QEvent::KeyPress;
        }
    } else if (watched == m_to || watched == m_toLabel) {
        if (IsLeftRelease(event) || (watched == m_to && IsPickerKey(event))) {
            openPicker(Field::To);
            return watched == m_to && event->type() == QEvent::KeyPress;
        }
    } else if (IsKey(event, {Qt::Key_Escape})) {
        // Escape in the picker closes it and leaves the date as it was.
        hidePicker();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kestrel
