// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "WindowRegistry.h"

#include <QMainWindow>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel {

class ElasticPanel;
class MonthView;
struct Program;

// The "Time Calculator": how many days, work days, weeks, quarters, months, years, hours,
// minutes or seconds lie between a From date and a To date. The dates come only from the month
// picker and the buttons; every change of either date, and every interval chosen from the list,
// recomputes the answer panel.
class DateCalculator : public QMainWindow
{
    Q_OBJECT
public:
    enum class Field
    {
        From,
        To,
    };

    // Runs the load steps: open flag, place, the interval list, From today and To the target.
    explicit DateCalculator(Program& program);
    ~DateCalculator() override;

    QComboBox* intervalBox() const { return m_interval; }
    QLineEdit* fromBox() const { return m_from; }
    QLineEdit* toBox() const { return m_to; }
    ElasticPanel* answerPanel() const { return m_answer; }
    MonthView* picker() const { return m_picker; }

    // The user chose an interval: with no From date yet the focus moves to the From box and
    // nothing is computed; otherwise the answer is computed.
    void chooseInterval();
    // Recomputes the answer from the interval box and the two date boxes.
    void calculateInterval();
    // Opens the month picker below a date box, at the date the box holds.
    void openPicker(Field field);
    // "&Y2K", "&Today" and "&Copy".
    void setToY2K();
    void setToToday();
    void copyAnswer();
    // "&Exit": remembers the window's place, then closes it.
    void exitWindow();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void datePicked(DateValue date);
    void hidePicker();
    void placePicker();
    void showAnswer(const QString& answer);
    QLineEdit* box(Field field) const { return field == Field::From ? m_from : m_to; }

    Program& m_program;
    QComboBox* m_interval = nullptr;
    QLabel* m_fromLabel = nullptr;
    QLineEdit* m_from = nullptr;
    QPushButton* m_fromCalendar = nullptr;
    QLabel* m_toLabel = nullptr;
    QLineEdit* m_to = nullptr;
    QPushButton* m_toCalendar = nullptr;
    ElasticPanel* m_answer = nullptr;
    MonthView* m_picker = nullptr;
    Field m_pickerField = Field::To;
    WindowLife m_life;
};

} // namespace kestrel
