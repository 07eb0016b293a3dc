// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AboutWindow.h"
#include "BreakdownWindow.h"
#include "DateCalculator.h"
#include "DeskCalendar.h"
#include "IndexTab.h"
#include "MilestoneEditor.h"
#include "OptionsDialog.h"
#include "ProgramFixture.h"
#include "ReportWindow.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrel::test {

// Every window of the program, for tests that look at all of them alike: each row of the window
// registry (the options dialog once per page), and the help viewer.
struct WindowCase
{
    std::string name; // the name the settings file records, with the page for the options dialog
    // Opens the window (not yet shown).
    std::function<QWidget*(Program&, ToolbarWindow&)> open;
};

inline QWidget* OptionsPage(Program& program, int page)
{
    auto* options = new OptionsDialog(program);
    options->pages()->setCurrentTab(page);
    return options;
}

// The milestone editor as the desk calendar opens it, for the 24th of the calendar's month.
inline QWidget* MilestoneEditorFromCalendar(Program& program)
{
    auto calendar = std::make_unique<DeskCalendar>(program);
    for (int i = 0; i < kGridCells; ++i) {
        if (calendar->grid().cells[static_cast<std::size_t>(i)].day == 24) {
            calendar->dayChosen(i);
        }
    }
    return program.windows.find(QString::fromLatin1(kMilestoneName));
}

inline std::vector<WindowCase> AllWindows()
{
    std::vector<WindowCase> cases;
    for (const WindowKind& kind : Windows()) {
        const std::string name = kind.storedName;
        if (name == kToolBarName) {
            cases.push_back({name, [](Program&, ToolbarWindow& toolbar) -> QWidget* { return &toolbar; }});
        } else if (name == kOptionsName) {
            // Every page the dialog has, the last one included.
            for (int page = 0; page <= static_cast<int>(OptionsDialog::Page::More); ++page) {
                cases.push_back({name + " page " + std::to_string(page),
                                 [page](Program& p, ToolbarWindow&) { return OptionsPage(p, page); }});
            }
        } else if (name == kMilestoneName) {
            cases.push_back({name, [](Program& p, ToolbarWindow&) { return MilestoneEditorFromCalendar(p); }});
        } else {
            cases.push_back({name, [create = kind.create](Program& p, ToolbarWindow&) { return create(p); }});
        }
    }
    cases.push_back({"help viewer", [](Program& p, ToolbarWindow&) -> QWidget* {
                         p.help.WinHelp(QString(), HelpViewer::Contents);
                         return p.help.window();
                     }});
    return cases;
}

// A program whose windows are opened one after the other, each shown at the smallest size its
// layout allows (a target date that gives the longest toolbar lines), handed to the test and
// closed again.
class WindowsFixture : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        std::filesystem::create_directories(dir / "data");
        WriteSettings("[Target Date]\nTarget_Year=2000\nTarget_Month=9\nTarget_Day=30\n");
    }

    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const LoadedWindows::Entry& entry : program->windows.entries()) {
            if (entry.window != nullptr && entry.window != toolbar.get()) {
                delete entry.window;
            }
        }
        ProgramFixture::TearDown();
    }

    void ForEachWindow(const std::function<void(const char* name, QWidget* window)>& look)
    {
        for (const WindowCase& c : AllWindows()) {
            ToolbarWindow& shownToolbar = StartToolbar();
            QWidget* window = c.open(*program, shownToolbar);
            ASSERT_NE(window, nullptr) << c.name;
            window->show();
            QApplication::processEvents();
            window->resize(window->minimumSize().expandedTo(window->minimumSizeHint()));
            QApplication::processEvents();
            look(c.name.c_str(), window);
            if (window != &shownToolbar) {
                window->hide();
                if (window != program->help.window()) {
                    delete window;
                }
            }
            program->help.WinHelp(QString(), HelpViewer::Quit);
            toolbar.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
};

} // namespace kestrel::test
