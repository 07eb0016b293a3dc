// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ElasticPanel.h"
#include "HelpViewer.h"
#include "MilestoneEditor.h"
#include "ProgramFixture.h"
#include "Units.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

namespace kestrel::test {
namespace {

class ToolbarTest : public ProgramFixture
{};

TEST_F(ToolbarTest, LoadsWithNoSettingsFile)
{
    ToolbarWindow& bar = StartToolbar();
    EXPECT_EQ(bar.windowTitle(), "T-0:1:8:39:15");
    EXPECT_EQ(bar.todayPanel()->caption(), "Today is: Dec 30, 1999 15:20:45");
    EXPECT_EQ(bar.targetPanel()->caption(), "Target is: Jan 1, 2000 00:00:00");
    EXPECT_EQ(bar.companyPanel()->caption(), "URL:https://kestrel-countdown.org");
    EXPECT_EQ(WindowStateCode(bar), 0);
    EXPECT_EQ(WindowTopTwips(bar), 0);
    EXPECT_EQ(WindowLeftTwips(bar), 0);
    for (int i = 0; i < 7; ++i) {
        EXPECT_FALSE(bar.openFlag(static_cast<Button>(i))) << i;
    }
    EXPECT_TRUE(bar.timerEnabled());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(program->windows.count(), 1);
}

TEST_F(ToolbarTest, ButtonsCarryTheirTooltips)
{
    ToolbarWindow& bar = StartToolbar();
    const char* tooltips[] = {"Count Down",   "Calendar",     "Time Calculator", "Set Target Date and Options",
                              "Print Report", "Kestrel Help", "Close Program"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(bar.button(static_cast<Button>(i))->toolTip(), tooltips[i]);
        EXPECT_FALSE(bar.button(static_cast<Button>(i))->icon().isNull()) << i;
    }
}

TEST_F(ToolbarTest, MenusHaveTheirCaptionsAndAccessKeys)
{
    ToolbarWindow& bar = StartToolbar();
    QStringList bar_captions;
    for (QAction* action : bar.menuBar()->actions()) {
        bar_captions << action->text();
    }
    EXPECT_EQ(bar_captions, (QStringList{"&Close", "&Tools", "&Help"}));
    QStringList tools;
    for (QAction* action : bar.menuBar()->actions()[1]->menu()->actions()) {
        tools << action->text();
    }
    EXPECT_EQ(tools,
              (QStringList{"&Count Down", "C&alendar", "&Time Calculator", "&Set Target Date", "&Print Report"}));
    QStringList help;
    for (QAction* action : bar.menuBar()->actions()[2]->menu()->actions()) {
        help << action->text();
    }
    EXPECT_EQ(help, (QStringList{"&Kestrel Help", "&About"}));
}

TEST_F(ToolbarTest, ReadsItsPlaceAndTheCompanyText)
{
    WriteSettings("[Forms Position]\nToolBarTop=1500\ntoolbarleft=3000\n[File Options]\nCompany Logo=ACME Corp\n");
    ToolbarWindow& bar = StartToolbar();
    EXPECT_EQ(WindowTopTwips(bar), 1500);
    EXPECT_EQ(WindowLeftTwips(bar), 3000);
    EXPECT_EQ(bar.companyPanel()->caption(), "ACME Corp");
}

TEST_F(ToolbarTest, EachTickShowsTheNewCountdown)
{
    ToolbarWindow& bar = StartToolbar();
    clock.set(PackDateTime(1999, 12, 30, 15, 20, 46));
    bar.tick();
    EXPECT_EQ(bar.windowTitle(), "T-0:1:8:39:14");
    EXPECT_EQ(bar.todayPanel()->caption(), "Today is: Dec 30, 1999 15:20:46");
    EXPECT_EQ(program->countdown.SecondsPart, 14);
    EXPECT_TRUE(bar.timerEnabled());
}

// A target that renews every year counts to its next anniversary at once, and the settings file
// learns the new year when the anniversary's day has ended; the stored day stays 29 February.
TEST_F(ToolbarTest, ARenewingTargetStoresItsNewYearOnceItsDayHasEnded)
{
    WriteSettings("[Target Date]\nTarget_Year=1996\nTarget_Month=2\nTarget_Day=29\nRenew_Yearly=True\n");
    clock.set(PackDateTime(2000, 2, 29, 0, 0, 1));
    ToolbarWindow& bar = StartToolbar();
    EXPECT_EQ(bar.windowTitle(), "T-0:364:23:59:59") << "to 28 February 2001";
    EXPECT_EQ(Setting("Target Date", "Target_Year"), "1996") << "the first tick stores it";
    bar.tick();
    EXPECT_EQ(Setting("Target Date", "Target_Year"), "2000") << "the day of 2000 has not ended";
    EXPECT_EQ(bar.targetPanel()->caption(), "Target is: Feb 28, 2001 00:00:00");
    clock.set(PackDateTime(2000, 3, 1, 0, 0, 0));
    bar.tick();
    EXPECT_EQ(Setting("Target Date", "Target_Year"), "2001");
    EXPECT_EQ(Setting("Target Date", "Target_Day"), "29");
    EXPECT_EQ(bar.windowTitle(), "T-0:363:23:59:60");
    EXPECT_EQ(dialogs.shown().size(), 0u);
}

TEST_F(ToolbarTest, TickRewritesTheCountdownFileWhenSavingIsOn)
{
    WriteSettings("[File Options]\nContinuous_Save=1\nCount_Down_File=" + (dir / "count.txt").string() +
                  "\n[Target Date]\nCaption_option=dd:hh\n");
    ToolbarWindow& bar = StartToolbar();
    EXPECT_FALSE(std::filesystem::exists(dir / "count.txt")) << "the load writes no countdown file";
    bar.tick();
    EXPECT_EQ(ReadFile(dir / "count.txt"), "T-1 Days8  Hours (Eastern Standard Time)\r\n");
}

TEST_F(ToolbarTest, MissingCountdownFolderIsReportedOnceThenSavingStops)
{
    WriteSettings("[File Options]\nContinuous_Save=1\nCount_Down_File=" + (dir / "nowhere" / "count.txt").string() +
                  "\n");
    ToolbarWindow& bar = StartToolbar();
    bar.tick();
    bar.tick();
    EXPECT_EQ(dialogs.messages(),
              (QStringList{"Cannot find Directory for continous Save File. Check in Options Forms"}));
    EXPECT_EQ(program->ProgramSettings.ContinuousSave, 0);
    EXPECT_EQ(Setting("File Options", "Continuous_Save"), "1") << "the settings file still says on";
}

TEST_F(ToolbarTest, CountdownFileNamingTheSettingsFileIsRefusedAtStart)
{
    // Through a symbolic link, as a careless choice in a file dialog would give it.
    std::filesystem::create_symlink(settingsPath(), dir / "countdown.txt");
    const std::string settings = "[Target Date]\nTarget_Year=2001\n[File Options]\nContinuous_Save=1\n"
                                 "Count_Down_File=" +
                                 (dir / "countdown.txt").string() + "\n";
    WriteSettings(settings);
    ToolbarWindow& bar = StartToolbar();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("is the settings file, which continuous saving would overwrite"));
    EXPECT_EQ(program->ProgramSettings.ContinuousSave, 0);
    bar.tick();
    bar.tick();
    EXPECT_EQ(ReadSettings(), settings) << "the settings survive the ticks";
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST_F(ToolbarTest, UnwritableCountdownFileIsReportedOnceNotEverySecond)
{
    WriteSettings("[File Options]\nContinuous_Save=1\nCount_Down_File=/dev/full\n");
    ToolbarWindow& bar = StartToolbar();
    for (int second = 0; second < 10; ++second) {
        clock.set(DateValue{clock.now().serial + 1.0 / 86400.0});
        bar.tick();
    }
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].contains("/dev/full"));
    EXPECT_EQ(program->ProgramSettings.ContinuousSave, 0);
    EXPECT_EQ(Setting("File Options", "Continuous_Save"), "1") << "the settings file still says on";
}

TEST_F(ToolbarTest, YearsOnlyFormatStopsTheTimer)
{
    WriteSettings("[Target Date]\nCaption_option=yy\nTarget_Year=2002\n");
    ToolbarWindow& bar = StartToolbar();
    EXPECT_EQ(bar.windowTitle(), "T-2");
    EXPECT_FALSE(bar.timerEnabled());
}

TEST_F(ToolbarTest, OverflowAtLoadIsReportedAndTheLoadGoesOn)
{
    WriteSettings("[Target Date]\nTarget_Year=2100\n");
    ToolbarWindow& bar = StartToolbar();
    EXPECT_EQ(dialogs.messages(), (QStringList{"6 Overflow"}));
    EXPECT_FALSE(bar.timerEnabled());
    EXPECT_EQ(bar.windowTitle(), "T-out of range");
    EXPECT_EQ(bar.targetPanel()->caption(), "Target is: Jan 1, 2100 00:00:00");
}

TEST_F(ToolbarTest, OverflowDuringATickIsReportedOnceAndStopsTheCount)
{
    ToolbarWindow& bar = StartToolbar();
    program->ProgramSettings.TargetYear = "2100";
    bar.tick();
    EXPECT_EQ(dialogs.messages(), (QStringList{"6 Overflow"}));
    EXPECT_FALSE(bar.timerEnabled());
    EXPECT_EQ(bar.windowTitle(), "T-out of range") << "not the count of the previous target";
    EXPECT_TRUE(bar.isVisible());
}

TEST_F(ToolbarTest, NewTargetOutOfRangeFromTheLoadStepsReachesTheCountdownFile)
{
    WriteSettings("[File Options]\nContinuous_Save=1\nCount_Down_File=" + (dir / "count.txt").string() + "\n");
    ToolbarWindow& bar = StartToolbar();
    bar.tick();
    program->ProgramSettings.TargetYear = "2100";
    bar.Load();
    EXPECT_EQ(dialogs.messages(), (QStringList{"6 Overflow"}));
    EXPECT_EQ(bar.windowTitle(), "T-out of range");
    EXPECT_EQ(ReadFile(dir / "count.txt"), "T-out of range (Eastern Standard Time)\r\n");
}

TEST_F(ToolbarTest, HoursFormatCountsBeyondSixteenBits)
{
    WriteSettings("[Target Date]\nTarget_Year=2080\nCaption_option=hh\n");
    ToolbarWindow& bar = StartToolbar();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(bar.windowTitle(), "T-" + QString::number(29221 * 24 + 8));
}

TEST_F(ToolbarTest, CloseButtonWritesTheToolbarKeysAndFormCount)
{
    ToolbarWindow& bar = StartToolbar();
    MoveWindowTwips(bar, 600, 900);
    bar.pressButton(Button::Close);
    EXPECT_EQ(Setting("Forms Position", "ToolbarWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "ToolbarTop"), "600");
    EXPECT_EQ(Setting("Forms Position", "ToolbarLeft"), "900");
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "0");
    EXPECT_FALSE(bar.timerEnabled());
}

TEST_F(ToolbarTest, ClosingTheWindowWritesTheSameKeys)
{
    ToolbarWindow& bar = StartToolbar();
    MoveWindowTwips(bar, 300, 450);
    bar.close();
    EXPECT_EQ(Setting("Forms Position", "ToolbarWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "ToolbarTop"), "300");
    EXPECT_EQ(Setting("Forms Position", "ToolbarLeft"), "450");
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "0");
}

TEST_F(ToolbarTest, ClosingMaximisedKeepsTheOldPlace)
{
    WriteSettings("[Forms Position]\nToolBarTop=120\nToolBarLeft=240\n");
    ToolbarWindow& bar = StartToolbar();
    bar.showMaximized();
    bar.pressButton(Button::Close);
    EXPECT_EQ(Setting("Forms Position", "ToolbarWindowState"), "2");
    EXPECT_EQ(Setting("Forms Position", "ToolbarTop"), "120");
    EXPECT_EQ(Setting("Forms Position", "ToolbarLeft"), "240");
    // One entry each: the toolbar reads "ToolBarTop" and writes "ToolbarTop".
    EXPECT_EQ(ReadSettings().find("ToolbarTop"), std::string::npos);
}

TEST_F(ToolbarTest, HelpButtonOpensTheHelpFileAndCloseShutsIt)
{
    WriteFile(dir / "bin" / "Kestrel.HLP", "<html><body><h1>Kestrel Help</h1></body></html>");
    ASSERT_TRUE(FindHelpFile(*program, "Kestrel.HLP"));
    ToolbarWindow& bar = StartToolbar();
    bar.pressButton(Button::Help);
    ASSERT_NE(program->help.window(), nullptr);
    EXPECT_TRUE(program->help.window()->isVisible());
    EXPECT_FALSE(bar.openFlag(Button::Help));
    bar.pressButton(Button::Close);
    QApplication::processEvents();
    EXPECT_EQ(program->help.window(), nullptr);
}

TEST_F(ToolbarTest, ClosingTheAboutWindowRerunsTheLoadSteps)
{
    ToolbarWindow& bar = StartToolbar();
    clock.set(PackDateTime(1999, 12, 31, 0, 0, 0));
    program->ProgramSettings.TargetYear = "2001";
    CloseNextModal();
    bar.menuBar()->actions()[2]->menu()->actions()[1]->trigger();
    EXPECT_EQ(bar.windowTitle(), "T-1:0:23:59:60");
    EXPECT_EQ(bar.targetPanel()->caption(), "Target is: Jan 1, 2001 00:00:00");
    EXPECT_EQ(program->windows.count(), 1) << "the about window is unloaded";
}

TEST_F(ToolbarTest, TimerWaitsForTheNextSecondOfTheProgramClock)
{
    // 300 ms into the second by the program's clock, whatever the wall clock says.
    clock.set(DateValue{PackDateTime(1999, 12, 30, 15, 20, 45).serial + 0.3 / 86400.0});
    ToolbarWindow& bar = StartToolbar();
    const auto* timer = bar.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 705);
}

// A button and its Tools menu item are one command: the same action, the same check mark.
TEST_F(ToolbarTest, EachButtonAndItsMenuItemAreOneCommand)
{
    ToolbarWindow& bar = StartToolbar();
    const QList<QAction*> tools = bar.menuBar()->actions()[1]->menu()->actions();
    for (const WindowKind& kind : Windows()) {
        if (!kind.button) {
            continue;
        }
        QAction* action = bar.action(*kind.button);
        EXPECT_EQ(bar.button(*kind.button)->defaultAction(), action) << kind.storedName;
        EXPECT_TRUE(tools.contains(action)) << kind.storedName;
        EXPECT_TRUE(bar.button(*kind.button)->isEnabled()) << kind.storedName;
        EXPECT_EQ(bar.button(*kind.button)->accessibleName(), QString::fromLatin1(kind.tooltip));
        if (kind.opening != Opening::Toggled) {
            continue;
        }
        action->trigger();
        EXPECT_TRUE(bar.openFlag(*kind.button)) << kind.storedName;
        EXPECT_TRUE(action->isChecked()) << kind.storedName;
        EXPECT_TRUE(bar.button(*kind.button)->isChecked()) << kind.storedName;
        action->trigger();
        EXPECT_FALSE(bar.openFlag(*kind.button)) << kind.storedName;
        EXPECT_FALSE(action->isChecked()) << kind.storedName;
        EXPECT_FALSE(bar.button(*kind.button)->isChecked()) << kind.storedName;
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

// The program's close records every open window and stores the places its row says the close
// stores; a window whose place only its own buttons store (the milestone editor) keeps the old one.
TEST_F(ToolbarTest, TheCloseStoresThePlacesTheRegistryNames)
{
    ToolbarWindow& bar = StartToolbar();
    for (const WindowKind& kind : Windows()) {
        if (kind.button && kind.opening == Opening::Toggled) {
            bar.pressButton(*kind.button);
        }
    }
    auto* editor = new MilestoneEditor(*program, PackDate(1999, 12, 24), 0);
    editor->show();
    bar.pressButton(Button::Close);
    for (const WindowKind& kind : Windows()) {
        if (kind.place.prefix == nullptr) {
            continue;
        }
        const std::string prefix = kind.place.prefix;
        const bool stored = kind.place.storedAtClose;
        EXPECT_EQ(Setting("Forms Position", (prefix + "Top").c_str()) != "<missing>", stored) << prefix;
        EXPECT_EQ(Setting("Forms Position", (prefix + "Left").c_str()) != "<missing>", stored) << prefix;
        EXPECT_EQ(Setting("Forms Position", (prefix + "WindowState").c_str()) != "<missing>",
                  stored && kind.place.state)
            << prefix;
    }
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "4");
    EXPECT_EQ(Setting("Forms Open", "Form4"), kMilestoneName);
}

// A screen reader's "Toggle" on a button of a window beside the toolbar opens and closes it.
TEST_F(ToolbarTest, TheAccessibleToggleOpensAndClosesTheWindow)
{
    ToolbarWindow& bar = StartToolbar();
    for (const Button which : {Button::CountDown, Button::Calendar, Button::Calculator}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar.button(which));
        ASSERT_NE(accessible, nullptr);
        QAccessibleActionInterface* actions = accessible->actionInterface();
        ASSERT_NE(actions, nullptr);
        ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_TRUE(bar.openFlag(which)) << static_cast<int>(which);
        EXPECT_TRUE(bar.button(which)->isChecked()) << static_cast<int>(which);
        actions->doAction(QAccessibleActionInterface::toggleAction());
        EXPECT_FALSE(bar.openFlag(which)) << static_cast<int>(which);
        EXPECT_FALSE(bar.button(which)->isChecked()) << static_cast<int>(which);
    }
}

// Without a stored place the toolbar asks for no position, so a window manager places it with its
// title bar on the screen; a stored place is asked for.
TEST_F(ToolbarTest, WithoutAStoredPlaceTheWindowManagerPlacesIt)
{
    ToolbarWindow& bar = StartToolbar();
    EXPECT_FALSE(bar.testAttribute(Qt::WA_Moved));
    toolbar.reset();
    WriteSettings("[Forms Position]\nToolBarTop=0\nToolBarLeft=0\n");
    EXPECT_TRUE(StartToolbar().testAttribute(Qt::WA_Moved));
}

TEST_F(ToolbarTest, ToggledWindowsKeepTheirButtonDownWhileOpen)
{
    ToolbarWindow& bar = StartToolbar();
    bar.pressButton(Button::CountDown);
    EXPECT_TRUE(bar.button(Button::CountDown)->isChecked());
    program->windows.find(QString::fromLatin1(kCountDownName))->close();
    EXPECT_FALSE(bar.button(Button::CountDown)->isChecked());
    EXPECT_FALSE(bar.openFlag(Button::CountDown));
}

} // namespace
} // namespace kestrel::test
