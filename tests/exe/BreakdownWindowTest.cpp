// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakdownWindow.h"
#include "ElasticPanel.h"
#include "ProgramFixture.h"
#include "Units.h"
#include "WriteSetting.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>

namespace kestrel::test {
namespace {

class CountDownWindowTest : public ProgramFixture
{
protected:
    // Opens the breakdown window with the toolbar's "Count Down" button.
    BreakdownWindow& OpenBreakdown()
    {
        if (!toolbar) {
            StartToolbar();
        }
        toolbar->pressButton(Button::CountDown);
        auto* window = qobject_cast<BreakdownWindow*>(program->windows.find("frmCountDown"));
        if (window == nullptr) {
            throw std::runtime_error("the breakdown window did not open");
        }
        return *window;
    }

    QAction* Item(BreakdownWindow& window, const char* name) { return window.findChild<QAction*>(name); }

    // The five columns as "caption=number", "-" for a hidden column.
    static QStringList Columns(const BreakdownWindow& window)
    {
        QStringList columns;
        for (int k = 1; k <= 5; ++k) {
            const QLabel* number = window.numberLabel(k);
            const QLabel* caption = window.captionLabel(k);
            if (number->isHidden()) {
                columns << "-";
            } else {
                columns << (caption->isHidden() ? QString() : caption->text()) + "=" + number->text();
            }
        }
        return columns;
    }
};

TEST_F(CountDownWindowTest, OpensBelowTheToolbarWithTheBreakdown)
{
    ToolbarWindow& bar = StartToolbar();
    MoveWindowTwips(bar, 150, 300);
    BreakdownWindow& window = OpenBreakdown();
    EXPECT_EQ(window.windowTitle(), "Countdown Breakdown");
    EXPECT_TRUE(bar.openFlag(Button::CountDown));
    EXPECT_EQ(Columns(window), (QStringList{" Years=0", "Days=1", " Hours=8", " Minutes=39", " Seconds=15"}));
    EXPECT_EQ(window.projectPanel()->caption(), "Year 2000 Conversion Project");
    EXPECT_DOUBLE_EQ(WindowTopTwips(window), 150 + WindowHeightTwips(bar));
    EXPECT_DOUBLE_EQ(WindowLeftTwips(window), 300);
    EXPECT_EQ(program->calendarMonth, (YearMonth{1999, 12}));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(CountDownWindowTest, ToolbarTickRefreshesItWhileOpen)
{
    BreakdownWindow& window = OpenBreakdown();
    clock.set(PackDateTime(1999, 12, 30, 15, 21, 0));
    toolbar->tick();
    EXPECT_EQ(Columns(window), (QStringList{" Years=0", "Days=1", " Hours=8", " Minutes=38", " Seconds=60"}));
}

TEST_F(CountDownWindowTest, TargetMomentShowsZeroInTheTitleTheColumnsAndTheFile)
{
    WriteSettings("[File Options]\nContinuous_Save=1\nCount_Down_File=" + (dir / "count.txt").string() + "\n");
    BreakdownWindow& window = OpenBreakdown();
    clock.set(PackDateTime(2000, 1, 1, 0, 0, 0));
    toolbar->tick();
    EXPECT_EQ(toolbar->windowTitle(), "T-0:0:0:0:0");
    EXPECT_EQ(Columns(window), (QStringList{" Years=0", "Days=0", " Hours=0", " Minutes=0", " Seconds=0"}));
    EXPECT_EQ(ReadFile(dir / "count.txt"), "T-0  Years0 Days0  Hours0  Minutes0  Seconds (Eastern Standard Time)\r\n");
}

TEST_F(CountDownWindowTest, NewTargetOutOfRangeIsReportedThenShownAsSuchEverywhere)
{
    WriteSettings("[File Options]\nContinuous_Save=1\nCount_Down_File=" + (dir / "count.txt").string() + "\n");
    BreakdownWindow& window = OpenBreakdown();
    toolbar->tick();
    program->ProgramSettings.TargetYear = "2100";
    toolbar->tick();
    EXPECT_EQ(dialogs.messages(), (QStringList{"6 Overflow"}));
    EXPECT_EQ(toolbar->windowTitle(), "T-out of range");
    EXPECT_EQ(Columns(window), (QStringList{"=out of range", "-", "-", "-", "-"}));
    EXPECT_EQ(ReadFile(dir / "count.txt"), "T-out of range (Eastern Standard Time)\r\n");
    EXPECT_FALSE(toolbar->timerEnabled());
}

TEST_F(CountDownWindowTest, CountDownButtonTogglesAndTheWindowsOwnExitRearmsIt)
{
    BreakdownWindow& window = OpenBreakdown();
    QPointer<BreakdownWindow> first(&window);
    toolbar->pressButton(Button::CountDown);
    QApplication::processEvents();
    EXPECT_TRUE(first.isNull()) << "the second press closes the window";
    EXPECT_FALSE(toolbar->openFlag(Button::CountDown));

    BreakdownWindow& again = OpenBreakdown();
    again.exitWindow();
    QApplication::processEvents();
    EXPECT_FALSE(toolbar->openFlag(Button::CountDown));
    OpenBreakdown();
    EXPECT_TRUE(toolbar->openFlag(Button::CountDown));
}

TEST_F(CountDownWindowTest, ColumnsFollowTheFormat)
{
    WriteSettings("[Target Date]\nCaption_option=hh:mm:ss\n");
    BreakdownWindow& window = OpenBreakdown();
    EXPECT_EQ(Columns(window), (QStringList{" Hours=32", " Minutes=39", " Seconds=15", "-", "-"}));
}

TEST_F(CountDownWindowTest, ExitWhileMaximisedStoresStateTwoAndKeepsThePlace)
{
    WriteSettings("[Forms Position]\nCountDownTop=900\nCountDownLeft=450\n");
    BreakdownWindow& window = OpenBreakdown();
    window.showMaximized();
    window.exitWindow();
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "2");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "900");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "450");
}

TEST_F(CountDownWindowTest, ExitInTheNormalStateStoresThePlace)
{
    BreakdownWindow& window = OpenBreakdown();
    MoveWindowTwips(window, 1200, 2400);
    window.exitWindow();
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "1200");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "2400");
}

TEST_F(CountDownWindowTest, ClosingByTheCloseBoxStoresNothing)
{
    BreakdownWindow& window = OpenBreakdown();
    const std::string before = ReadSettings();
    MoveWindowTwips(window, 1200, 2400);
    window.close();
    EXPECT_EQ(ReadSettings(), before);
    EXPECT_FALSE(toolbar->openFlag(Button::CountDown));
}

TEST_F(CountDownWindowTest, ReopenedWindowReturnsToTheSavedPlace)
{
    WriteSettings("[Forms Position]\nCountDownTop=600\nCountDownLeft=750\n");
    BreakdownWindow& window = OpenBreakdown();
    MoveWindowTwips(window, 1500, 1500);
    window.close();
    BreakdownWindow& again = OpenBreakdown();
    EXPECT_DOUBLE_EQ(WindowTopTwips(again), 600);
    EXPECT_DOUBLE_EQ(WindowLeftTwips(again), 750);
}

struct ColorItem
{
    const char* item;
    const char* key;
    BreakdownWindow::Group group;
    bool background;
};

class ColorItems : public CountDownWindowTest, public ::testing::WithParamInterface<ColorItem>
{};

TEST_P(ColorItems, WriteTheirKeyAndRestyleTheGroup)
{
    const ColorItem& c = GetParam();
    BreakdownWindow& window = OpenBreakdown();
    dialogs.answerColor(QColor(255, 0, 0));
    Item(window, c.item)->trigger();
    EXPECT_EQ(Setting("CountDown", c.key), "255");
    const QPalette::ColorRole role = c.background ? QPalette::Window : QPalette::WindowText;
    std::vector<QWidget*> restyled;
    if (c.group == BreakdownWindow::Group::Project) {
        restyled.push_back(window.projectPanel());
    }
    for (int k = 1; k <= 5; ++k) {
        restyled.push_back(c.group == BreakdownWindow::Group::Caption    ? static_cast<QWidget*>(window.captionLabel(k))
                           : c.group == BreakdownWindow::Group::Interval ? window.numberLabel(k)
                                                                         : nullptr);
    }
    for (QWidget* widget : restyled) {
        if (widget != nullptr) {
            EXPECT_EQ(widget->palette().color(role), QColor(255, 0, 0)) << widget->objectName().toStdString();
        }
    }
}

TEST_P(ColorItems, CancelledDialogStillWritesTheColourThatWasShowing)
{
    const ColorItem& c = GetParam();
    BreakdownWindow& window = OpenBreakdown();
    const BreakdownStyle before = window.style();
    dialogs.answerColor(std::nullopt);
    Item(window, c.item)->trigger();
    const GroupStyle& group = c.group == BreakdownWindow::Group::Caption    ? before.caption
                              : c.group == BreakdownWindow::Group::Interval ? before.interval
                                                                            : before.project;
    EXPECT_EQ(Setting("CountDown", c.key), std::to_string(c.background ? group.backColor : group.foreColor));
    EXPECT_EQ(window.style(), before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    FormatMenu, ColorItems,
    ::testing::Values(
        ColorItem{"mnuCBackGound", "Caption BackColor", BreakdownWindow::Group::Caption, true},
        ColorItem{"mnuCForeGround", "Caption ForeColor", BreakdownWindow::Group::Caption, false},
        ColorItem{"mnuIBackground", "Interval BackColor", BreakdownWindow::Group::Interval, true},
        ColorItem{"mnuIForegound", "Interval ForeColor", BreakdownWindow::Group::Interval, false},
        ColorItem{"mnuPBackground", "Project BackColor", BreakdownWindow::Group::Project, true},
        ColorItem{"mnuPForeground", "Project ForeColor", BreakdownWindow::Group::Project, false}));
// clang-format on

TEST_F(CountDownWindowTest, CancelledCaptionColourKeepsTheSystemColour)
{
    BreakdownWindow& window = OpenBreakdown();
    dialogs.answerColor(std::nullopt);
    Item(window, "mnuCForeGround")->trigger();
    EXPECT_EQ(Setting("CountDown", "Caption ForeColor"), "-2147483640");
    EXPECT_EQ(window.captionLabel(3)->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::WindowText));
}

TEST_F(CountDownWindowTest, FontItemsWriteFourKeysAndRestyleAllFiveLabels)
{
    BreakdownWindow& window = OpenBreakdown();
    dialogs.answerFont(FontChoice{"DejaVu Serif", 14.25, false, true});
    Item(window, "mnuIFonts")->trigger();
    const std::string settings = ReadSettings();
    EXPECT_NE(settings.find("Interval FontName=DejaVu Serif\nInterval FontItalic=True\nInterval FontBold=False\n"
                            "Interval FontSize=14.25\n"),
              std::string::npos)
        << settings;
    for (int k = 1; k <= 5; ++k) {
        const QFont font = ElasticPanel::designFont(window.numberLabel(k));
        EXPECT_EQ(font.family(), "DejaVu Serif");
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 14.25);
        EXPECT_TRUE(font.italic());
        EXPECT_FALSE(font.bold());
    }
}

TEST_F(CountDownWindowTest, CancelledFontDialogWritesTheFontThatWasShowing)
{
    BreakdownWindow& window = OpenBreakdown();
    dialogs.answerFont(std::nullopt);
    Item(window, "mnuPFonts")->trigger();
    EXPECT_EQ(Setting("CountDown", "Project FontName"), "Tahoma");
    EXPECT_EQ(Setting("CountDown", "Project FontItalic"), "False");
    EXPECT_EQ(Setting("CountDown", "Project FontBold"), "False");
    EXPECT_EQ(Setting("CountDown", "Project FontSize"), "12");
}

TEST_F(CountDownWindowTest, CaptionVisibleOffHidesTheCaptionRow)
{
    BreakdownWindow& window = OpenBreakdown();
    QAction* visible = Item(window, "mnuCVisible");
    ASSERT_TRUE(visible->isChecked());
    visible->trigger();
    EXPECT_EQ(Setting("CountDown", "Caption Visible"), "False");
    EXPECT_FALSE(visible->isChecked());
    EXPECT_TRUE(window.captionRow()->isHidden());
    EXPECT_EQ(Columns(window), (QStringList{"=0", "=1", "=8", "=39", "=15"}));
    EXPECT_FALSE(window.projectPanel()->isHidden());
    toolbar->tick();
    EXPECT_TRUE(window.captionLabel(1)->isHidden()) << "the tick keeps the captions hidden";
}

TEST_F(CountDownWindowTest, StoredCaptionVisibleFalseAppliesAtLoad)
{
    WriteSettings("[CountDown]\nCaption Visible=false\nProject Visible=0\n");
    BreakdownWindow& window = OpenBreakdown();
    EXPECT_FALSE(Item(window, "mnuCVisible")->isChecked());
    EXPECT_FALSE(Item(window, "mnuPVisible")->isChecked());
    EXPECT_TRUE(window.captionRow()->isHidden());
    EXPECT_TRUE(window.projectPanel()->isHidden());
}

TEST_F(CountDownWindowTest, DamagedValueIsReportedDuringLoadAndTheWindowWorks)
{
    WriteSettings("[CountDown]\nCaption BackColor=255\nInterval ForeColor=bright\nInterval FontSize=30\n");
    BreakdownWindow& window = OpenBreakdown();
    EXPECT_EQ(dialogs.messages(), (QStringList{"13 Type mismatch"}));
    EXPECT_EQ(window.captionLabel(2)->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(ElasticPanel::designFont(window.numberLabel(1)).pointSizeF(), 11.25)
        << "keys after the damaged one are not applied";
    EXPECT_EQ(window.projectPanel()->caption(), "Year 2000 Conversion Project") << "the load goes on";
    EXPECT_EQ(Columns(window)[4], " Seconds=15");
}

TEST_F(CountDownWindowTest, DamagedValueMetByAMenuItemIsReportedAndTheWindowKeepsWorking)
{
    BreakdownWindow& window = OpenBreakdown();
    WriteSetting(program->settings, "CountDown", "Project FontSize", "huge");
    dialogs.answerColor(QColor(0, 0, 255));
    Item(window, "mnuCBackGound")->trigger();
    EXPECT_EQ(dialogs.messages(), (QStringList{"13 Type mismatch"}));
    EXPECT_EQ(window.captionLabel(1)->palette().color(QPalette::Window), QColor(0, 0, 255));
    toolbar->tick();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(CountDownWindowTest, RestoredAtStartWhenRecordedOpen)
{
    WriteSettings("[Forms Open]\nFormCount=1\nForm1=frmCountDown\n[Forms Position]\nCountDownTop=750\n"
                  "CountDownLeft=1500\nCountDownWindowState=0\n");
    StartToolbar();
    auto* window = qobject_cast<BreakdownWindow*>(program->windows.find("frmCountDown"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(toolbar->openFlag(Button::CountDown));
    EXPECT_DOUBLE_EQ(WindowTopTwips(*window), 750);
    EXPECT_EQ(Columns(*window)[1], "Days=1");
}

TEST_F(CountDownWindowTest, ProgramCloseRecordsItsPlaceAndReopensIt)
{
    BreakdownWindow& window = OpenBreakdown();
    MoveWindowTwips(window, 3000, 4500);
    toolbar->pressButton(Button::Close);
    EXPECT_EQ(Setting("Forms Open", "FormCount"), "1");
    EXPECT_EQ(Setting("Forms Open", "Form1"), "frmCountDown");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "3000");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "4500");
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "0");
    EXPECT_EQ(RecordedOpenWindows(*program), (std::vector<QString>{"frmCountDown"}));
}

TEST_F(CountDownWindowTest, MinimisedAtCloseKeepsTheOlderPlace)
{
    WriteSettings("[Forms Position]\nCountDownTop=90\nCountDownLeft=45\n");
    BreakdownWindow& window = OpenBreakdown();
    window.showMinimized();
    toolbar->close();
    EXPECT_EQ(Setting("Forms Position", "CountDownWindowState"), "1");
    EXPECT_EQ(Setting("Forms Position", "CountDownTop"), "90");
    EXPECT_EQ(Setting("Forms Position", "CountDownLeft"), "45");
}

TEST_F(CountDownWindowTest, ScalesFontsWithTheWindow)
{
    BreakdownWindow& window = OpenBreakdown();
    window.show();
    window.resize(400, 300);
    QApplication::processEvents();
    const double small = window.numberLabel(1)->font().pointSizeF();
    window.resize(1200, 900);
    QApplication::processEvents();
    const double large = window.numberLabel(1)->font().pointSizeF();
    EXPECT_GT(large, small * 2.5);
    EXPECT_DOUBLE_EQ(ElasticPanel::designFont(window.numberLabel(1)).pointSizeF(), 11.25);
}

} // namespace
} // namespace kestrel::test
