// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"
#include "WindowRegistry.h"

#include <QDialog>

#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace kestrel {

struct Program;

// The milestone editor ("frmMilestone", "Milestone Update Form"): writes, changes or removes the
// milestone of one day. The desk calendar opens it, modeless, for the day double-clicked and the
// milestone that day holds (0 for a new one); it keeps working on that day whatever month the
// calendar moves to. Apply saves the milestone file and refills the calendar; Cancel saves nothing.
class MilestoneEditor : public QDialog
{
    Q_OBJECT
public:
    // Runs the load steps: place, the day line, the milestone's text and number.
    MilestoneEditor(Program& program, DateValue day, int position);
    ~MilestoneEditor() override;

    // The three buttons, in the order of their "Index".
    enum class Button
    {
        Remove,
        Apply,
        Cancel,
    };
    void pressButton(Button which);

    DateValue day() const { return m_day; }
    int position() const { return m_position; }
    QLabel* dayLine() const { return m_dayLine; }
    QLabel* removalNote() const { return m_removeNote; }
    QLabel* numberLine() const { return m_number; }
    QPlainTextEdit* textBox() const { return m_text; }
    QPushButton* button(Button which) const { return m_buttons[static_cast<int>(which)]; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildWindow();
    // The position of this day's milestone in the table as it is now: the one the editor was
    // opened for when it still names this day, else the first milestone on the day, else 0.
    int currentPosition() const;
    void remove();
    void apply();
    // The text to save after comparing the day with the milestone file as it is now: when another
    // program changed the same day meanwhile, the user chooses their text, the file's, or both.
    struct Settled
    {
        enum Outcome
        {
            Save,
            KeepFile,
            Cancelled,
        } outcome;
        std::string text;
    };
    Settled settleWithTheFile(std::string text);
    void cancel();
    void unload();

    Program& m_program;
    DateValue m_day;
    long long m_dayNumber = 0;
    int m_position = 0;
    bool m_removeAsked = false;
    std::string m_openedText; // the text as the file held it, line breaks included
    // The day's text as this program last left the file: a different text in the file at Apply is
    // another program's change.
    std::string m_fileText;
    QLabel* m_dayLine = nullptr;
    QStackedWidget* m_textPages = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_removeNote = nullptr;
    QLabel* m_number = nullptr;
    QPushButton* m_buttons[3] = {};
    WindowLife m_life;
};

inline constexpr const char* kMilestoneEditorTitle = "Milestone Update Form";

} // namespace kestrel
