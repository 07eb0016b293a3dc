// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendar.h"
#include "MilestoneEditor.h"
#include "ProgramFixture.h"
#include "Units.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

namespace kestrel::test {
namespace {

// The calendar on a program whose clock stands at Thursday 30 December 1999 15:20:45, target
// 1 January 2000, and whose milestone file lies in the test's own data folder.
class DeskCalendarTest : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        std::filesystem::create_directories(dir / "data");
        program->ProgramSettings = LoadProgramSettings(program->settings, program->dataDirectory);
    }

    std::filesystem::path milestoneFile() const { return dir / "data" / "mileston.txt"; }

    DeskCalendar& Open()
    {
        calendar = new DeskCalendar(*program);
        return *calendar;
    }

    MilestoneEditor* Editor() const
    {
        return qobject_cast<MilestoneEditor*>(program->windows.find(QString::fromLatin1(kMilestoneName)));
    }

    // The day label of the day of the shown month.
    QString DayText(int day) const
    {
        for (int i = 0; i < kGridCells; ++i) {
            if (calendar->grid().cells[static_cast<std::size_t>(i)].day == day) {
                return calendar->cell(i)->dayLabel()->text();
            }
        }
        return {};
    }

    int CellOf(int day) const
    {
        for (int i = 0; i < kGridCells; ++i) {
            if (calendar->grid().cells[static_cast<std::size_t>(i)].day == day) {
                return i;
            }
        }
        return -1;
    }

    QStringList Strip(const MonthStrip* strip) const
    {
        QStringList captions;
        for (int t = 0; t < 12; ++t) {
            captions << strip->caption(t);
        }
        return captions;
    }

    QString Shown() const
    {
        return QStringLiteral("%1-%2").arg(calendar->shownMonth().year).arg(calendar->shownMonth().month);
    }

    DeskCalendar* calendar = nullptr;
};

const QStringList kAllMonths = {"&January", "&February", "&March",     "&April",   "Ma&y",      "&June",
                                "J&uly",    "Au&gust",   "&September", "&October", "&November", "&December"};

TEST_F(DeskCalendarTest, OpensOnTodaysMonthWithCountsAndTheCountdownCaption)
{
    DeskCalendar& window = Open();
    EXPECT_EQ(window.windowTitle(), "T-2 Days Countdown Calendar");
    EXPECT_EQ(window.todayLine()->text(), "Today is Thursday, December 30, 1999");
    EXPECT_EQ(window.monthTitle()->text(), "December  1999");
    EXPECT_EQ(Shown(), "1999-12");
    EXPECT_EQ(program->calendarMonth, (YearMonth{1999, 12}));
    for (int day = 1; day <= 31; ++day) {
        const int i = CellOf(day);
        EXPECT_EQ(window.cell(i)->dayLabel()->text(), QString::number(day));
        EXPECT_EQ(window.cell(i)->countLabel()->text(), QString::number(day - 32));
    }
    EXPECT_TRUE(window.cell(0)->isHidden());
    EXPECT_TRUE(window.cell(34)->isHidden());
    // Today is framed and says so to a screen reader.
    EXPECT_EQ(window.cell(CellOf(30))->countLabel()->property("BorderStyle").toInt(), 1);
    EXPECT_EQ(window.cell(CellOf(29))->countLabel()->property("BorderStyle").toInt(), 0);
    EXPECT_EQ(window.cell(CellOf(30))->accessibleName(), "Thursday, December 30, 1999: 30, count -2, today");
    EXPECT_EQ(window.cell(CellOf(1))->dayLabel()->toolTip(), "Double-Click to set milestone");
    // The strips: January to November turned over, December open.
    EXPECT_EQ(Strip(window.leftMonthStrip()), kAllMonths.mid(0, 11) + QStringList{"-"});
    EXPECT_EQ(Strip(window.rightMonthStrip()), QStringList(11, "-") + QStringList{"&December"});
    EXPECT_EQ(window.leftMonthStrip()->currentTab(), -1);
    EXPECT_EQ(window.rightMonthStrip()->currentTab(), 11);
    EXPECT_EQ(window.rightMonthStrip()->toolTip(), "Change Month");
    EXPECT_TRUE(program->windows.contains(kDeskCalName));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(DeskCalendarTest, JumpButtonsHaveTheirCaptionsAndTooltips)
{
    DeskCalendar& window = Open();
    const char* captions[] = {"&Month ", "Mo&nth ", "T&oday", "&Year", "Y&ear", "&Target", "M&ilestone", "Mi&lestone"};
    const char* tooltips[] = {"Previous Month", "Next Month",        "Go to Today's Date", "Previous Year",
                              "Next Year",      "Go to Target Date", "Previous MileStone", "Next Milestone"};
    for (int i = 0; i < kJumpCount; ++i) {
        EXPECT_EQ(window.jumpButton(static_cast<Jump>(i))->text(), captions[i]);
        EXPECT_EQ(window.jumpButton(static_cast<Jump>(i))->toolTip(), tooltips[i]);
        EXPECT_EQ(window.jumpButton(static_cast<Jump>(i))->property("Index").toInt(), i);
    }
    QStringList menus;
    for (QAction* action : window.menuBar()->actions()) {
        menus << action->text();
    }
    EXPECT_EQ(menus, (QStringList{"&Exit", "&MileStones"}));
    EXPECT_EQ(window.findChild<QAction*>("mnuMarkMilestone")->text(), "&Mark Milestone");
    EXPECT_EQ(window.findChild<QAction*>("mnuClearALL")->text(), "&Clear All MileStone");
}

struct JumpCase
{
    const char* name;
    YearMonth from;
    Jump jump;
    YearMonth to;
};

class Jumps : public DeskCalendarTest, public ::testing::WithParamInterface<JumpCase>
{};

TEST_P(Jumps, ShowTheirMonthWithTheStripsTurned)
{
    const JumpCase& c = GetParam();
    program->ProgramSettings.TargetYear = "2000";
    program->ProgramSettings.TargetMonth = "11";
    DeskCalendar& window = Open();
    window.ShowMonth(c.from);
    window.jump(c.jump);
    EXPECT_EQ(window.shownMonth(), c.to);
    EXPECT_EQ(Strip(window.leftMonthStrip()).mid(0, c.to.month - 1), kAllMonths.mid(0, c.to.month - 1));
    EXPECT_EQ(Strip(window.rightMonthStrip()).mid(c.to.month - 1), kAllMonths.mid(c.to.month - 1));
    EXPECT_EQ(window.rightMonthStrip()->currentTab(), c.to.month - 1);
    EXPECT_EQ(window.monthTitle()->text(),
              QString::fromStdString(MonthName(c.to.month, false)) + "  " + QString::number(c.to.year));
}

INSTANTIATE_TEST_SUITE_P(Buttons, Jumps,
                         // clang-format off
                         ::testing::Values(JumpCase{"PreviousFromJanuary", {2000, 1}, Jump::PreviousMonth, {1999, 12}},
                                           JumpCase{"PreviousMonth", {2000, 6}, Jump::PreviousMonth, {2000, 5}},
                                           JumpCase{"NextFromDecember", {1999, 12}, Jump::NextMonth, {2000, 1}},
                                           JumpCase{"Today", {2003, 4}, Jump::Today, {1999, 12}},
                                           JumpCase{"PreviousYear", {2000, 6}, Jump::PreviousYear, {1999, 1}},
                                           JumpCase{"NextYear", {2000, 6}, Jump::NextYear, {2001, 1}},
                                           JumpCase{"Target", {1999, 12}, Jump::Target, {2000, 11}}),
                         // clang-format on
                         [](const auto& info) { return info.param.name; });

TEST_F(DeskCalendarTest, ArrowPicturesActAsTheMonthButtons)
{
    DeskCalendar& window = Open();
    auto arrows = window.findChildren<QAbstractButton*>("Image1");
    ASSERT_EQ(arrows.size(), 2);
    for (QAbstractButton* arrow : arrows) {
        const bool previous = arrow->property("Index").toInt() == 0;
        EXPECT_EQ(arrow->toolTip(), previous ? "Previous Month" : "Next Month");
    }
    QTest::mouseClick(arrows[arrows[0]->property("Index").toInt() == 0 ? 0 : 1], Qt::LeftButton);
    EXPECT_EQ(Shown(), "1999-11");
}

TEST_F(DeskCalendarTest, TabsOfEitherStripShowTheirMonthOfTheShownYear)
{
    DeskCalendar& window = Open();
    QTest::mouseClick(window.leftMonthStrip()->tab(2), Qt::LeftButton); // March
    EXPECT_EQ(Shown(), "1999-3");
    EXPECT_EQ(Strip(window.leftMonthStrip()), QStringList({"&January", "&February"}) + QStringList(10, "-"));
    EXPECT_EQ(window.leftMonthStrip()->currentTab(), -1);
    QTest::mouseClick(window.rightMonthStrip()->tab(7), Qt::LeftButton); // August
    EXPECT_EQ(Shown(), "1999-8");
    EXPECT_EQ(window.rightMonthStrip()->currentTab(), 7);
}

TEST_F(DeskCalendarTest, MilestoneJumpsFindTheNextAndPreviousMonthsOrSaySo)
{
    WriteFile(milestoneFile(), "\" 36571\",\"Feb\"\r\n\" 36809\",\"Oct\"\r\n");
    DeskCalendar& window = Open();
    window.jump(Jump::NextMilestone);
    EXPECT_EQ(Shown(), "2000-2");
    window.jump(Jump::NextMilestone);
    EXPECT_EQ(Shown(), "2000-10");
    window.jump(Jump::NextMilestone);
    EXPECT_EQ(Shown(), "2000-10");
    EXPECT_EQ(dialogs.messages(), QStringList{"There is no Next MileStone"});
    EXPECT_EQ(window.rightMonthStrip()->currentTab(), 9);
    window.jump(Jump::PreviousMilestone);
    EXPECT_EQ(Shown(), "2000-2");
    window.jump(Jump::PreviousMilestone);
    EXPECT_EQ(Shown(), "2000-2");
    EXPECT_EQ(dialogs.messages().last(), "There is no previous MileStone");
}

TEST_F(DeskCalendarTest, WorkDaysModeLeavesWeekendsWithoutCounts)
{
    program->ProgramSettings.TargetType = "WorkDays";
    DeskCalendar& window = Open();
    EXPECT_EQ(window.windowTitle(), "T-2 WorkDays Countdown Calendar");
    EXPECT_EQ(window.cell(CellOf(1))->countLabel()->text(), "-23");
    EXPECT_TRUE(window.cell(CellOf(4))->countLabel()->isHidden());
    EXPECT_FALSE(window.cell(CellOf(4))->dayLabel()->isHidden());
    EXPECT_EQ(window.cell(CellOf(31))->countLabel()->text(), "-1");
}

TEST_F(DeskCalendarTest, MarkedDaysShowTheirPositionInOrange)
{
    WriteFile(milestoneFile(), "\" 36510\",\"Kickoff\"\r\n\" 36518\",\"Review\"\r\n");
    DeskCalendar& window = Open();
    EXPECT_EQ(DayText(16), "1 16");
    EXPECT_EQ(DayText(24), "2 24");
    EXPECT_EQ(window.marksInMonth(), 2);
    EXPECT_TRUE(window.cell(CellOf(24))->styleSheet().contains("#ff8000"));
    EXPECT_TRUE(window.cell(CellOf(23))->styleSheet().contains("#c0ffff"));
    EXPECT_TRUE(window.cell(CellOf(24))->accessibleName().endsWith("milestone 2"));
}

// A marked day's note shows in its tooltip, before the hint, and in its accessible description;
// the cell's captions stay as they are drawn.
TEST_F(DeskCalendarTest, MarkedDaysShowTheirNoteInTooltipAndDescription)
{
    WriteFile(milestoneFile(), "\" 36510\",\"Kickoff <all> & coffee\"\r\n\" 36518\",\"\"\r\n");
    DeskCalendar& window = Open();
    const CalendarDayCell* marked = window.cell(CellOf(16));
    for (const QLabel* label : {marked->dayLabel(), marked->countLabel()}) {
        EXPECT_TRUE(label->toolTip().contains("Kickoff &lt;all&gt; &amp; coffee")) << label->toolTip().toStdString();
        EXPECT_LT(label->toolTip().indexOf("Kickoff"), label->toolTip().indexOf("Double-Click to set milestone"));
    }
    EXPECT_EQ(marked->accessibleDescription(), "Kickoff <all> & coffee");
    EXPECT_EQ(DayText(16), "1 16");

    // A milestone without text and an unmarked day keep the bare hint.
    for (const int day : {24, 23}) {
        EXPECT_EQ(window.cell(CellOf(day))->dayLabel()->toolTip(), "Double-Click to set milestone") << day;
        EXPECT_EQ(window.cell(CellOf(day))->accessibleDescription(), "") << day;
    }
}

TEST_F(DeskCalendarTest, ASixthMilestoneInAMonthIsRefusedButMarkedDaysStillOpen)
{
    std::string file;
    for (int day : {1, 3, 6, 9, 13}) {
        file += "\" " + std::to_string(36494 + day) + "\",\"m\"\r\n";
    }
    WriteFile(milestoneFile(), file);
    DeskCalendar& window = Open();
    ASSERT_EQ(window.marksInMonth(), 5);
    window.dayChosen(CellOf(20));
    EXPECT_EQ(dialogs.messages(), QStringList{"Sorry only 5 Milestones per Month"});
    EXPECT_EQ(Editor(), nullptr);
    window.dayChosen(CellOf(9));
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->position(), 4);
    EXPECT_EQ(Editor()->dayLine()->text(), "Enter Milestone for 09 Dec, 1999");
}

TEST_F(DeskCalendarTest, DoubleClickOpensTheEditorOnceForItsDay)
{
    DeskCalendar& window = Open();
    QTest::mouseDClick(window.cell(CellOf(24))->countLabel(), Qt::LeftButton);
    ASSERT_NE(Editor(), nullptr);
    MilestoneEditor* editor = Editor();
    EXPECT_EQ(editor->dayLine()->text(), "Enter Milestone for 24 Dec, 1999");
    EXPECT_EQ(editor->position(), 0);
    window.dayChosen(CellOf(5));
    EXPECT_EQ(Editor(), editor);
    EXPECT_EQ(editor->dayLine()->text(), "Enter Milestone for 24 Dec, 1999");
}

TEST_F(DeskCalendarTest, ArrowKeysMoveFromDayToDayAndEnterOpensTheEditor)
{
    DeskCalendar& window = Open();
    window.show();
    window.cell(CellOf(1))->setFocus();
    QTest::keyClick(window.cell(CellOf(1)), Qt::Key_Left); // nothing before the 1st
    EXPECT_EQ(window.focusWidget(), window.cell(CellOf(1)));
    QTest::keyClick(window.cell(CellOf(1)), Qt::Key_Down);
    EXPECT_EQ(window.focusWidget(), window.cell(CellOf(8)));
    QTest::keyClick(window.cell(CellOf(8)), Qt::Key_Right);
    EXPECT_EQ(window.focusWidget(), window.cell(CellOf(9)));
    QTest::keyClick(window.cell(CellOf(9)), Qt::Key_Return);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->dayLine()->text(), "Enter Milestone for 09 Dec, 1999");
}

TEST_F(DeskCalendarTest, MarkMilestoneMenuExplains)
{
    DeskCalendar& window = Open();
    window.findChild<QAction*>("mnuMarkMilestone")->trigger();
    EXPECT_EQ(dialogs.messages(), QStringList{"Double Click any day to Mark/Edit a Milestone"});
}

TEST_F(DeskCalendarTest, ClearAllMovesTheFileAwayAndUnmarksTheDays)
{
    WriteFile(milestoneFile(), "\" 36518\",\"Review\"\r\n");
    DeskCalendar& window = Open();
    ASSERT_EQ(DayText(24), "1 24");
    window.clearAllMilestones();
    if (!dialogs.messages().isEmpty()) {
        // Where the trash cannot take the file, nothing is lost and the user is told why.
        EXPECT_TRUE(dialogs.messages().first().contains(QString::fromStdString(milestoneFile().string())));
        EXPECT_TRUE(std::filesystem::exists(milestoneFile()));
        EXPECT_EQ(DayText(24), "1 24");
        return;
    }
    EXPECT_FALSE(std::filesystem::exists(milestoneFile()));
    EXPECT_FALSE(std::filesystem::exists("files")); // not beside the program's current folder
    EXPECT_EQ(DayText(24), "24");
    EXPECT_EQ(window.marksInMonth(), 0);
    EXPECT_TRUE(program->milestones.table().empty());
    // Without a file, Clear All does nothing at all.
    window.clearAllMilestones();
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST_F(DeskCalendarTest, ExitStoresThePlaceAndTheCloseBoxDoesNot)
{
    DeskCalendar& window = Open();
    window.show();
    MoveWindowTwips(window, 600, 900);
    window.close();
    EXPECT_EQ(Setting("Forms Position", "DeskCalTop"), "<missing>");
    EXPECT_FALSE(program->windows.contains(kDeskCalName));

    DeskCalendar& again = Open();
    again.show();
    MoveWindowTwips(again, 600, 900);
    again.exitWindow();
    EXPECT_EQ(Setting("Forms Position", "DeskCalWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "DeskCalTop"), "600");
    EXPECT_EQ(Setting("Forms Position", "DeskCalLeft"), "900");
    EXPECT_FALSE(program->windows.contains(kDeskCalName));
}

TEST_F(DeskCalendarTest, OpensAtItsStoredPlace)
{
    WriteSettings("[Forms Position]\r\nDeskCalTop=450\r\nDeskCalLeft=1200\r\nDeskCalWindowState=0\r\n");
    DeskCalendar& window = Open();
    EXPECT_DOUBLE_EQ(WindowTopTwips(window), 450);
    EXPECT_DOUBLE_EQ(WindowLeftTwips(window), 1200);
}

TEST_F(DeskCalendarTest, AMonthOutOfCountRangeIsReportedOnceAndShowsItsDays)
{
    program->ProgramSettings.TargetYear = "2100";
    DeskCalendar& window = Open();
    EXPECT_EQ(dialogs.messages(), QStringList{"6 Overflow"});
    EXPECT_EQ(window.cell(CellOf(1))->dayLabel()->text(), "1");
    EXPECT_TRUE(window.cell(CellOf(1))->countLabel()->isHidden());
    window.FillMonth({1999, 12});
    window.showCountdown();
    window.redraw();
    EXPECT_EQ(dialogs.messages(), QStringList{"6 Overflow"});
}

TEST_F(DeskCalendarTest, ADamagedMilestoneFileIsReportedAndWhatWasReadShows)
{
    WriteFile(milestoneFile(), "\" 36518\",\"Review\"\r\n\" 36519\"\r\n");
    DeskCalendar& window = Open();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith("62 Input past end of file"));
    EXPECT_EQ(DayText(24), "1 24");
    EXPECT_EQ(window.shownMonth(), (YearMonth{1999, 12}));
}

TEST_F(DeskCalendarTest, TheToolbarOpensAndClosesItAndTurnsItToTheTargetMonth)
{
    ToolbarWindow& bar = StartToolbar();
    bar.pressButton(Button::Calendar);
    calendar = qobject_cast<DeskCalendar*>(program->windows.find(kDeskCalName));
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(bar.openFlag(Button::Calendar));
    // After the options dialog the toolbar holds the target's month and redraws the displays.
    program->calendarMonth = {2000, 1};
    calendar->redraw();
    EXPECT_EQ(Shown(), "2000-1");
    EXPECT_EQ(calendar->rightMonthStrip()->currentTab(), 0);
    // The date moving on at midnight moves today's frame.
    calendar->ShowMonth({1999, 12});
    clock.set(PackDateTime(1999, 12, 31, 0, 0, 1));
    bar.tick();
    EXPECT_EQ(calendar->windowTitle(), "T-1 Days Countdown Calendar");
    bar.pressButton(Button::Calendar);
    EXPECT_FALSE(bar.openFlag(Button::Calendar));
    calendar = nullptr;
}

// The last month a date can hold is reached by the Target jump and by the month buttons.
TEST_F(DeskCalendarTest, DecemberOfTheLastYearIsShownLikeAnyOtherMonth)
{
    program->ProgramSettings.TargetYear = "9999";
    program->ProgramSettings.TargetMonth = "12";
    program->ProgramSettings.TargetDay = "31";
    DeskCalendar& window = Open();
    window.jump(Jump::Target);
    EXPECT_EQ(Shown(), "9999-12");
    EXPECT_EQ(window.monthTitle()->text(), "December  9999");
    EXPECT_EQ(DayText(31), "31");
    window.ShowMonth({9999, 11});
    window.jump(Jump::NextMonth);
    EXPECT_EQ(Shown(), "9999-12");
    EXPECT_EQ(window.rightMonthStrip()->currentTab(), 11);
    // Only today's month, eight thousand years before the target, is out of the count's range.
    EXPECT_EQ(dialogs.messages(), QStringList{"6 Overflow"});
}

// A month whose counts overflow shows no counts, and its caption says the count is out of range.
TEST_F(DeskCalendarTest, AnOverflowingMonthsCaptionSaysOutOfRange)
{
    program->ProgramSettings.TargetYear = "2100";
    DeskCalendar& window = Open();
    EXPECT_EQ(window.windowTitle(), "T-out of range Days Countdown Calendar");
    EXPECT_EQ(dialogs.messages(), QStringList{"6 Overflow"});
}

// "&Exit" of a maximised calendar stores its state and the place it has when it is normal again;
// a normal one stores its place.
TEST_F(DeskCalendarTest, ExitStoresTheNormalPlaceOfAMaximisedCalendar)
{
    DeskCalendar& window = Open();
    window.show();
    window.move(TwipsToPixels(900), TwipsToPixels(600));
    QApplication::processEvents();
    const double top = WindowTopTwips(window);
    const double left = WindowLeftTwips(window);
    window.showMaximized();
    QApplication::processEvents();
    ASSERT_EQ(WindowStateCode(window), 2);
    window.exitWindow();
    calendar = nullptr;
    EXPECT_EQ(Setting("Forms Position", "DeskCalWindowState"), "2");
    EXPECT_EQ(Setting("Forms Position", "DeskCalTop"), NumberText(top).toStdString());
    EXPECT_EQ(Setting("Forms Position", "DeskCalLeft"), NumberText(left).toStdString());
}

TEST_F(DeskCalendarTest, ExitOfAMinimisedCalendarStoresNothing)
{
    WriteSettings("[Forms Position]\nDeskCalWindowState=0\nDeskCalTop=90\nDeskCalLeft=45\n");
    DeskCalendar& window = Open();
    window.show();
    window.showMinimized();
    QApplication::processEvents();
    ASSERT_EQ(WindowStateCode(window), 1);
    window.exitWindow();
    calendar = nullptr;
    EXPECT_EQ(Setting("Forms Position", "DeskCalWindowState"), "0");
    EXPECT_EQ(Setting("Forms Position", "DeskCalTop"), "90");
    EXPECT_EQ(Setting("Forms Position", "DeskCalLeft"), "45");
}

// A target more than 89 years away overflows the calendar's counts: a calendar restored at start
// says so once, not once for each of its fills.
TEST_F(DeskCalendarTest, ARestoredCalendarReportsAnOverflowingTargetOnce)
{
    WriteSettings("[Target Date]\nTarget_Year=2090\nTarget_Month=1\nTarget_Day=1\n"
                  "[Forms Open]\nFormCount=1\nForm1=frmDeskCal\n");
    ToolbarWindow& bar = StartToolbar();
    ASSERT_TRUE(bar.openFlag(Button::Calendar));
    EXPECT_EQ(dialogs.messages().count(QStringLiteral("6 Overflow")), 1) << dialogs.messages().join("; ").toStdString();
    qobject_cast<DeskCalendar*>(program->windows.find(kDeskCalName))->redraw();
    EXPECT_EQ(dialogs.messages().count(QStringLiteral("6 Overflow")), 1) << dialogs.messages().join("; ").toStdString();
}

// The sync's line carries what the server said (its reason phrase, an href): shown as it stands,
// never read as markup that could dress up a message or a link.
TEST_F(DeskCalendarTest, TheSharedCalendarLineShowsTheServersWordsAsText)
{
    DeskCalendar& shown = Open();
    const QString line =
        QStringLiteral("Shared calendar: the server answered 500 <b>Trust</b> <a href=\"x\">this</a> (Dec "
                       "7, 2026 23:40; tried again later)");
    program->sharedCalendarStatus = line;
    shown.showCountdown();
    const auto* status = shown.findChild<QLabel*>(QStringLiteral("lblSharedCalendar"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), line);
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
}

} // namespace
} // namespace kestrel::test
