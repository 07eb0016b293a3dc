// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeskCalendarModel.h"
#include "WorkDays.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

CalendarTarget Target(int year, int month, int day, const char* type = "Days")
{
    return CalendarTargetFrom(std::to_string(year), std::to_string(month), std::to_string(day), type);
}

const DateValue kToday = PackDateTime(1999, 12, 16, 10, 0, 0);

// The cells as "day:count" ("-" for no count), from the first cell with a day to the last.
std::vector<std::string> Shown(const MonthGrid& grid)
{
    std::vector<std::string> shown;
    for (const DayCell& cell : grid.cells) {
        if (cell.day != 0) {
            shown.push_back(cell.dayCaption() + ":" + (cell.count ? cell.countCaption() : "-"));
        }
    }
    return shown;
}

int FirstCell(const MonthGrid& grid)
{
    for (int i = 0; i < kGridCells; ++i) {
        if (grid.cells[static_cast<std::size_t>(i)].day != 0) {
            return i;
        }
    }
    return -1;
}

int LastCell(const MonthGrid& grid)
{
    for (int i = kGridCells - 1; i >= 0; --i) {
        if (grid.cells[static_cast<std::size_t>(i)].day != 0) {
            return i;
        }
    }
    return -1;
}

// --- The worked months ------------------------------------------------------------------------------

TEST(FillMonth, DaysModeDecember1999RunsFromMinus31ToMinus1)
{
    const MonthGrid grid = FillMonth({1999, 12}, Target(2000, 1, 1), MilestoneTable{}, kToday);
    EXPECT_EQ(grid.title, "December  1999");
    EXPECT_EQ(FirstCell(grid), 3); // the 1st is a Wednesday
    EXPECT_EQ(LastCell(grid), 33);
    for (int d = 1; d <= 31; ++d) {
        const DayCell& cell = grid.cells[static_cast<std::size_t>(2 + d)];
        EXPECT_EQ(cell.day, d);
        EXPECT_EQ(cell.count, d - 32) << "day " << d;
    }
    EXPECT_EQ(grid.todayCaption, "T-16 Days Countdown Calendar");
    EXPECT_TRUE(grid.cells[18].today); // the 16th
    EXPECT_FALSE(grid.overflow);
}

TEST(FillMonth, DaysModeJanuary2000StartsWithZeroOnTheTarget)
{
    const MonthGrid grid = FillMonth({2000, 1}, Target(2000, 1, 1), MilestoneTable{}, kToday);
    EXPECT_EQ(FirstCell(grid), 6); // Saturday
    EXPECT_EQ(grid.cells[6].count, 0);
    EXPECT_TRUE(grid.cells[6].target);
    EXPECT_EQ(grid.cells[36].count, 30);
    EXPECT_FALSE(grid.todayCaption); // today is not in this month
}

TEST(FillMonth, WorkDaysModeDecember1999SkipsWeekends)
{
    const MonthGrid grid = FillMonth({1999, 12}, Target(2000, 1, 1, "WorkDays"), MilestoneTable{}, kToday);
    const std::vector<std::string> expected = {
        "1:-23", "2:-22",  "3:-21",  "4:-",    "5:-",    "6:-20",  "7:-19", "8:-18", "9:-17",  "10:-16", "11:-",
        "12:-",  "13:-15", "14:-14", "15:-13", "16:-12", "17:-11", "18:-",  "19:-",  "20:-10", "21:-9",  "22:-8",
        "23:-7", "24:-6",  "25:-",   "26:-",   "27:-5",  "28:-4",  "29:-3", "30:-2", "31:-1"};
    EXPECT_EQ(Shown(grid), expected);
    EXPECT_EQ(grid.todayCaption, "T-12 WorkDays Countdown Calendar");
}

TEST(FillMonth, WorkDaysModeJanuary2000HasItsFirstCountOnMonday3)
{
    const MonthGrid grid = FillMonth({2000, 1}, Target(2000, 1, 1, "WorkDays"), MilestoneTable{}, kToday);
    EXPECT_FALSE(grid.cells[6].count); // Saturday 1st
    EXPECT_FALSE(grid.cells[7].count); // Sunday 2nd
    EXPECT_EQ(grid.cells[8].count, 0); // Monday 3rd
    EXPECT_EQ(grid.cells[9].count, 1);
}

struct LayoutCase
{
    const char* name;
    YearMonth month;
    int firstCell;
    int lastCell;
};

class MonthLayouts : public ::testing::TestWithParam<LayoutCase>
{};

TEST_P(MonthLayouts, PutTheDaysInTheirWeekdayColumns)
{
    const LayoutCase& c = GetParam();
    const MonthGrid grid = FillMonth(c.month, Target(2000, 1, 1), MilestoneTable{}, kToday);
    EXPECT_EQ(FirstCell(grid), c.firstCell);
    EXPECT_EQ(LastCell(grid), c.lastCell);
    for (int i = 37; i < kGridCells; ++i) {
        EXPECT_EQ(grid.cells[static_cast<std::size_t>(i)].day, 0) << "cell " << i;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Months, MonthLayouts,
    ::testing::Values(
        LayoutCase{"StartsOnSundayAugust1999", {1999, 8}, 0, 30},
        LayoutCase{"FebruaryStartingSunday2009", {2009, 2}, 0, 27},
        LayoutCase{"ThirtyOneDaysFromSaturdayJanuary2000", {2000, 1}, 6, 36},
        LayoutCase{"ThirtyDaysFromSaturdaySeptember2001", {2001, 9}, 6, 35},
        LayoutCase{"LeapFebruary2000", {2000, 2}, 2, 30}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// Every count the grid shows is the count of days (or work days) from that day to the target,
// whatever weekday the month starts on: checked for every month of twelve years, both modes.
TEST(FillMonth, EveryCountIsTheDistanceToTheTarget)
{
    for (const char* type : {"Days", "WorkDays"}) {
        const CalendarTarget target = Target(2000, 1, 1, type);
        for (int year = 1994; year <= 2005; ++year) {
            for (int month = 1; month <= 12; ++month) {
                const MonthGrid grid = FillMonth({year, month}, target, MilestoneTable{}, kToday);
                for (const DayCell& cell : grid.cells) {
                    if (!cell.count) {
                        continue;
                    }
                    const DateValue date = PackDate(year, month, cell.day);
                    const long long expected =
                        target.workDays ? -WorkDayCount(date, target.date) : -DateDiff("d", date, target.date);
                    ASSERT_EQ(*cell.count, expected) << type << " " << year << "-" << month << "-" << cell.day;
                }
            }
        }
    }
}

TEST(FillMonth, FramesTheTargetOnlyOnItsOwnDate)
{
    const CalendarTarget target = Target(2000, 11, 1);
    const MonthGrid january = FillMonth({2000, 1}, target, MilestoneTable{}, kToday);
    EXPECT_FALSE(january.cells[16].target); // 11 January
    EXPECT_EQ(january.cells[16].day, 11);
    const MonthGrid november = FillMonth({2000, 11}, target, MilestoneTable{}, kToday);
    EXPECT_EQ(november.cells[3].day, 1);
    EXPECT_TRUE(november.cells[3].target);
    EXPECT_EQ(november.cells[3].count, 0);
}

TEST(FillMonth, MarksMilestoneDaysWithTheirPositions)
{
    MilestoneTable table;
    table.PutMilestone(0, PackDate(1999, 11, 30), "before");
    table.PutMilestone(0, PackDate(1999, 12, 15), "mid");
    table.PutMilestone(0, PackDate(1999, 12, 24), "eve");
    table.PutMilestone(0, PackDate(1999, 12, 24), "second on the same day");
    const MonthGrid grid = FillMonth({1999, 12}, Target(2000, 1, 1), table, kToday);
    EXPECT_EQ(grid.cells[17].dayCaption(), "2 15");
    EXPECT_EQ(grid.cells[26].dayCaption(), "3 24");
    EXPECT_EQ(grid.cells[25].dayCaption(), "23");
    EXPECT_EQ(grid.marksInMonth, 2);
}

TEST(FillMonth, AMonthOutOfTheSixteenBitRangeShowsDaysWithoutCounts)
{
    const MonthGrid grid = FillMonth({2000, 1}, Target(2100, 1, 1), MilestoneTable{}, kToday);
    ASSERT_TRUE(grid.overflow);
    EXPECT_EQ(grid.overflow->report(), "6 Overflow");
    EXPECT_EQ(grid.cells[6].day, 1);
    for (const DayCell& cell : grid.cells) {
        EXPECT_FALSE(cell.count);
    }
    // The last month in range is whole: 32767 days before the target is 17 April 1910.
    EXPECT_FALSE(FillMonth({1910, 5}, Target(2000, 1, 1), MilestoneTable{}, kToday).overflow);
    EXPECT_TRUE(FillMonth({1910, 4}, Target(2000, 1, 1), MilestoneTable{}, kToday).overflow);
}

TEST(FillMonth, WithoutATargetShowsDaysOnly)
{
    const MonthGrid grid = FillMonth({1999, 12}, std::nullopt, MilestoneTable{}, kToday);
    EXPECT_EQ(grid.cells[3].day, 1);
    EXPECT_FALSE(grid.cells[3].count);
    EXPECT_FALSE(grid.todayCaption);
}

// --- The pieces around the grid ------------------------------------------------------------------

TEST(DeskCalendarModel, ChosenDayComesFromTheDayCaption)
{
    struct Case
    {
        const char* caption;
        int day;
        int milestone;
    };
    for (const Case& c :
         {Case{"3 15", 15, 3}, Case{"12 5", 5, 12}, Case{"15", 15, 0}, Case{"7", 7, 0}, Case{"123 31", 31, 123}}) {
        const ChosenDay chosen = ChosenDayFromCaption(c.caption);
        EXPECT_EQ(chosen.day, c.day) << c.caption;
        EXPECT_EQ(chosen.milestone, c.milestone) << c.caption;
    }
}

TEST(DeskCalendarModel, StripsTurnThePagesOfTheShownMonth)
{
    const MonthStrips december = StripsForMonth(12);
    EXPECT_EQ(december.left[0], "&January");
    EXPECT_EQ(december.left[4], "Ma&y");
    EXPECT_EQ(december.left[10], "&November");
    EXPECT_EQ(december.left[11], "-");
    EXPECT_EQ(december.right[10], "-");
    EXPECT_EQ(december.right[11], "&December");
    EXPECT_EQ(december.rightCurrent, 11);

    const MonthStrips january = StripsForMonth(1);
    for (int t = 0; t < 12; ++t) {
        EXPECT_EQ(january.left[static_cast<std::size_t>(t)], "-");
        EXPECT_EQ(january.right[static_cast<std::size_t>(t)], MonthTabCaption(t + 1));
    }
    EXPECT_EQ(january.rightCurrent, 0);
}

TEST(DeskCalendarModel, MonthsFromTextsCarryAndJumpsWrapTheYear)
{
    EXPECT_EQ(MonthFromTexts("1999", "12"), (YearMonth{1999, 12}));
    EXPECT_EQ(MonthFromTexts("2000", "13"), (YearMonth{2001, 1}));
    EXPECT_EQ(MonthFromTexts("2000", "0"), (YearMonth{1999, 12}));
    EXPECT_THROW(MonthFromTexts("99999", "1"), RuntimeError);
    EXPECT_EQ(PreviousMonth({2000, 1}), (YearMonth{1999, 12}));
    EXPECT_EQ(NextMonth({1999, 12}), (YearMonth{2000, 1}));
    EXPECT_EQ(NextMonth({2000, 6}), (YearMonth{2000, 7}));
}

TEST(DeskCalendarModel, OnlyTheExactDayTypeWorkDaysCountsWorkDays)
{
    EXPECT_TRUE(Target(2000, 1, 1, "WorkDays").workDays);
    EXPECT_FALSE(Target(2000, 1, 1, "workdays").workDays);
    EXPECT_FALSE(Target(2000, 1, 1, "Days").workDays);
}

// A month whose counts leave the 16-bit range says so in the caption, as the toolbar does, rather
// than show a count it cannot hold.
TEST(FillMonth, AnOverflowingMonthsCaptionSaysTheCountIsOutOfRange)
{
    const MonthGrid grid = FillMonth({1999, 12}, Target(2100, 1, 1), MilestoneTable{}, kToday);
    ASSERT_TRUE(grid.overflow);
    EXPECT_EQ(grid.todayCaption, "T-out of range Days Countdown Calendar");
    EXPECT_EQ(FillMonth({1999, 12}, Target(2000, 1, 1), MilestoneTable{}, kToday).todayCaption,
              "T-16 Days Countdown Calendar");
}

// December 9999, the last month a date can hold, shows like any other.
TEST(FillMonth, DecemberOfTheLastYearShowsItsDays)
{
    const MonthGrid grid = FillMonth({9999, 12}, Target(9999, 12, 31), MilestoneTable{}, kToday);
    EXPECT_EQ(grid.title, "December  9999");
    EXPECT_EQ(Shown(grid).size(), 31u);
    EXPECT_EQ(Shown(grid).front(), "1:-30");
    EXPECT_EQ(Shown(grid).back(), "31:0");
    EXPECT_TRUE(grid.cells[static_cast<std::size_t>(LastCell(grid))].target);
}

// --- The jumps --------------------------------------------------------------------------------------

TEST(JumpFrom, EachJumpLeadsToItsMonthOrSaysWhyNot)
{
    MilestoneTable table;
    table.PutMilestone(0, PackDate(2000, 2, 10), "Feb");
    table.PutMilestone(0, PackDate(2000, 10, 3), "Oct");
    const JumpContext context{kToday, "2000", "11", table};
    const JumpContext lastYear{kToday, "9999", "12", table};
    // clang-format off
    const struct
    {
        YearMonth from;
        Jump jump;
        const JumpContext& context;
        std::variant<YearMonth, std::string> to;
    } cases[] = {
        {{2000, 1}, Jump::PreviousMonth, context, YearMonth{1999, 12}},
        {{2000, 6}, Jump::PreviousMonth, context, YearMonth{2000, 5}},
        {{1999, 12}, Jump::NextMonth, context, YearMonth{2000, 1}},
        {{9999, 11}, Jump::NextMonth, context, YearMonth{9999, 12}},
        {{2003, 4}, Jump::Today, context, YearMonth{1999, 12}},
        {{2000, 6}, Jump::PreviousYear, context, YearMonth{1999, 1}},
        {{2000, 6}, Jump::NextYear, context, YearMonth{2001, 1}},
        {{1999, 12}, Jump::Target, context, YearMonth{2000, 11}},
        {{1999, 12}, Jump::Target, lastYear, YearMonth{9999, 12}},
        {{1999, 12}, Jump::NextMilestone, context, YearMonth{2000, 2}},
        {{2000, 2}, Jump::NextMilestone, context, YearMonth{2000, 10}},
        {{2000, 10}, Jump::NextMilestone, context, std::string("There is no Next MileStone")},
        {{2000, 10}, Jump::PreviousMilestone, context, YearMonth{2000, 2}},
        {{2000, 2}, Jump::PreviousMilestone, context, std::string("There is no previous MileStone")},
    };
    // clang-format on
    for (const auto& c : cases) {
        const auto to = JumpFrom(c.from, c.jump, c.context);
        EXPECT_EQ(to, c.to) << "jump " << static_cast<int>(c.jump) << " from " << c.from.year << "-" << c.from.month;
    }
}

TEST(JumpFrom, ATargetThatNamesNoMonthIsAnError)
{
    const MilestoneTable table;
    EXPECT_THROW(JumpFrom({1999, 12}, Jump::Target, {kToday, "99999", "1", table}), RuntimeError);
}

} // namespace
} // namespace kestrel
