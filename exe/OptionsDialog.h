// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OptionsPages.h"
#include "WindowRegistry.h"

#include <QDialog>

class QAction;
class QPushButton;

namespace kestrel {

class IndexTab;
struct Program;

// The "Countdown Options" dialog: the target date, the count format and day type, the project
// settings and the continuous countdown file. Shown modally by the toolbar; Apply writes the
// settings file and the program's settings together.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    // Runs the load steps: the open flag, the lists and every control from the settings.
    explicit OptionsDialog(Program& program);
    ~OptionsDialog() override;

    // The buttons below the pages and "Browse", each with its "Index".
    enum class Button
    {
        Cancel = 0,
        Apply = 1,
        Browse = 3,
        Ok = 4,
    };
    void pressButton(Button which);
    QPushButton* button(Button which) const;
    QAction* exitAction() const { return m_exit; }

    // The pages, in the order of their tabs.
    enum class Page
    {
        Countdown,
        Project,
        File,
        More,
    };
    IndexTab* pages() const { return m_pages; }
    CountdownOptionsPage* countdownPage() const { return m_countdown; }
    ProjectPlanningPage* projectPage() const { return m_project; }
    FileOptionsPage* filePage() const { return m_file; }
    MoreOptionsPage* morePage() const { return m_more; }

    // What the controls hold now.
    OptionsValues values() const;

    // The first run, when no settings file exists: the first page with the next New Year preset
    // chosen and the keyboard focus on OK, so that Enter gives a countdown that makes sense.
    void prepareFirstRun();

    // Unloads the dialog however it closes: the toolbar's open flag goes back to "False" and the
    // dialog leaves the loaded windows.
    void done(int result) override;

private:
    void load();
    // Writes the options, or refuses them with a message; false when refused.
    bool apply();
    // Tells why Apply stops, then shows the page and the control to change.
    void refuse(const std::string& message, const QString& title, Page page, QWidget* control);
    void browseMilestoneFile();
    void presetChosen();
    void openPicker();
    void datePicked(DateValue date);
    void unload();

    Program& m_program;
    IndexTab* m_pages = nullptr;
    CountdownOptionsPage* m_countdown = nullptr;
    ProjectPlanningPage* m_project = nullptr;
    FileOptionsPage* m_file = nullptr;
    MoreOptionsPage* m_more = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;
    QAction* m_exit = nullptr;
    WindowLife m_life;
};

// The values the dialog shows at load: the program's settings and the company text, read afresh
// from the settings file ("Company Logo", with the maker's address as default).
OptionsValues OptionsFromSettings(const Program& program);

// Apply: writes the target date, the count format, the day type, then the "File Options" keys in
// the order of the program's settings and "Company Logo", updating the program's settings key by
// key; then the personal preset date when the preset box shows one; then the choices of the page
// "More Options" (the autostart entry is written or removed only when the box changed it). Each key is a step of its
// own: one that cannot be worked out (a target date text that is no date skips its three keys)
// is reported as "number description" and the rest are written.
void ApplyOptions(Program& program, const OptionsValues& values);

} // namespace kestrel
