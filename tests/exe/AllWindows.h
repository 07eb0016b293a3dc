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

namespace kestrel::test {

// Every window of the program, for tests that look at all of them alike: the toolbar, each
// window it opens, each page of the options dialog, the milestone editor and the help viewer.
struct WindowCase
{
    const char* name;
    // Opens the window (not yet shown); the options dialog's cases also choose a page.
    std::function<QWidget*(Program&, ToolbarWindow&)> open;
};

inline QWidget* OptionsPage(Program& program, int page)
{
    auto* options = new OptionsDialog(program);
    if (auto* pages = options->findChild<IndexTab*>(QStringLiteral("VideoSoftIndexTab1"))) {
        pages->setCurrentTab(page);
    }
    return options;
}

inline const WindowCase kAllWindows[] = {
    {"toolbar", [](Program&, ToolbarWindow& toolbar) -> QWidget* { return &toolbar; }},
    {"breakdown", [](Program& p, ToolbarWindow&) -> QWidget* { return new BreakdownWindow(p); }},
    {"options target page", [](Program& p, ToolbarWindow&) { return OptionsPage(p, 0); }},
    {"options caption page", [](Program& p, ToolbarWindow&) { return OptionsPage(p, 1); }},
    {"options saver page", [](Program& p, ToolbarWindow&) { return OptionsPage(p, 2); }},
    {"date calculator", [](Program& p, ToolbarWindow&) -> QWidget* { return new DateCalculator(p); }},
    {"desk calendar", [](Program& p, ToolbarWindow&) -> QWidget* { return new DeskCalendar(p); }},
    {"milestone editor",
     [](Program& p, ToolbarWindow&) -> QWidget* { return new MilestoneEditor(p, PackDate(1999, 12, 24), 0); }},
    {"report window", [](Program& p, ToolbarWindow&) -> QWidget* { return new ReportWindow(p); }},
    {"about window", [](Program& p, ToolbarWindow&) -> QWidget* { return new AboutWindow(p); }},
    {"help viewer",
     [](Program& p, ToolbarWindow&) -> QWidget* {
         p.help.WinHelp(QString(), HelpViewer::Contents);
         return p.help.window();
     }},
};

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
        for (const WindowCase& c : kAllWindows) {
            ToolbarWindow& shownToolbar = StartToolbar();
            QWidget* window = c.open(*program, shownToolbar);
            ASSERT_NE(window, nullptr) << c.name;
            window->show();
            QApplication::processEvents();
            window->resize(window->minimumSize().expandedTo(window->minimumSizeHint()));
            QApplication::processEvents();
            look(c.name, window);
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
