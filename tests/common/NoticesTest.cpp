// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Notices.h"

#include "DateAt.h"
#include "TempDir.h"
#include "WriteSetting.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kestrel {
namespace {

using test::At;

MilestoneTable Table(std::initializer_list<std::pair<DateValue, const char*>> records)
{
    MilestoneTable table;
    for (const auto& [day, text] : records) {
        table.PutMilestone(0, day, text);
    }
    return table;
}

// The notices a program running from `start` gives, tick by tick at one second, through
// `seconds` ticks, with the memory of the settings file carried from tick to tick as the program
// writes it; a restart after `restartAfter` ticks starts again from what the file remembers.
struct Ticks
{
    test::TempDir dir;
    SettingsFile file{dir / "KESTREL.INI"};
    ProgramSettings settings;
    MilestoneTable milestones;
    std::vector<std::string> given; // summary, body

    void run(FixedClock& clock, int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            for (const Notice& notice : DueNotices(settings, milestones, clock.now(), ReadNoticeMemory(file))) {
                given.push_back(notice.summary + " | " + notice.body);
                ASSERT_TRUE(WriteSetting(file, notice.remember.section, notice.remember.key, notice.remember.value));
            }
            clock.set(DateAdd("s", 1, clock.now()));
        }
    }
};

TEST(ZeroNoticeTest, GivenOnceWhenTheClockPassesTheTargetAndNotAgainAfterARestart)
{
    Ticks ticks;
    FixedClock clock(At(1999, 12, 31, 23, 59, 55));
    ticks.run(clock, 10);
    ASSERT_EQ(ticks.given.size(), 1u);
    EXPECT_EQ(ticks.given[0], "Year 2000 Conversion Project | The countdown to Jan 1, 2000 has reached zero.");
    EXPECT_EQ(ticks.file.ReadSetting("Notifications", "Zero Given", ""), "2000-01-01");

    // A restart later that day finds the notice remembered.
    FixedClock later(At(2000, 1, 1, 8, 0, 0));
    ticks.run(later, 5);
    EXPECT_EQ(ticks.given.size(), 1u);
}

struct ZeroCase
{
    const char* name;
    DateValue now;
    bool due;
};

class ZeroNoticeWindow : public ::testing::TestWithParam<ZeroCase>
{};

TEST_P(ZeroNoticeWindow, RunsFromTheTargetSecondToTheEndOfTheTargetDay)
{
    const ZeroCase& c = GetParam();
    const std::vector<Notice> due = DueNotices(ProgramSettings{}, MilestoneTable{}, c.now, NoticeMemory{});
    EXPECT_EQ(due.size(), c.due ? 1u : 0u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Notices, ZeroNoticeWindow,
    ::testing::Values(
        ZeroCase{"OneSecondBefore", At(1999, 12, 31, 23, 59, 59), false},
        ZeroCase{"AtTheTargetSecond", At(2000, 1, 1), true},
        ZeroCase{"LaterThatDay", At(2000, 1, 1, 23, 59, 59), true},
        ZeroCase{"TheDayAfter", At(2000, 1, 2), false},
        ZeroCase{"YearsBefore", At(1990, 1, 1, 12), false}),
    [](const ::testing::TestParamInfo<ZeroCase>& info) { return info.param.name; });
// clang-format on

TEST(ZeroNoticeTest, ANewTargetGetsItsOwnNotice)
{
    Ticks ticks;
    FixedClock clock(At(2000, 1, 1, 0, 0, 0));
    ticks.run(clock, 2);
    ticks.settings.TargetYear = "2001";
    FixedClock nextYear(At(2001, 1, 1, 0, 0, 0));
    ticks.run(nextYear, 2);
    EXPECT_EQ(ticks.given.size(), 2u);
    EXPECT_EQ(ticks.file.ReadSetting("Notifications", "Zero Given", ""), "2001-01-01");
}

TEST(ZeroNoticeTest, ATargetTheEngineCannotCountGivesNoNoticeAndNoError)
{
    ProgramSettings settings;
    settings.TargetYear = "99999";
    EXPECT_TRUE(DueNotices(settings, MilestoneTable{}, At(2000, 1, 1), NoticeMemory{}).empty());
}

TEST(MilestoneNoticeTest, GivenOnceFromNineOnTheMilestonesDay)
{
    Ticks ticks;
    ticks.settings.TargetYear = "2030";
    ticks.milestones = Table({{At(2000, 1, 5), "Review"}, {At(2000, 1, 6), "Ship"}});
    FixedClock clock(At(2000, 1, 5, 8, 59, 58));
    ticks.run(clock, 5);
    ASSERT_EQ(ticks.given.size(), 1u);
    EXPECT_EQ(ticks.given[0], "Milestone today | Review");
    EXPECT_EQ(ticks.file.ReadSetting("Notifications", "Milestone Day Given", ""), "36530");

    // Started after nine on the next milestone's day: given at once, and once.
    FixedClock nextDay(At(2000, 1, 6, 14, 0, 0));
    ticks.run(nextDay, 3);
    ASSERT_EQ(ticks.given.size(), 2u);
    EXPECT_EQ(ticks.given[1], "Milestone today | Ship");
}

TEST(MilestoneNoticeTest, EveryMilestoneOfTheDayInOneNoticeWithMarkupTakenLiterally)
{
    const MilestoneTable table = Table({{At(2000, 1, 5), "Tests <b>green</b> & signed"}, {At(2000, 1, 5), ""}});
    const std::vector<Notice> due = DueNotices(ProgramSettings{}, table, At(2000, 1, 5, 9), NoticeMemory{});
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].summary, "Milestones today");
    EXPECT_EQ(due[0].body, "Tests &lt;b&gt;green&lt;/b&gt; &amp; signed\n(no text)");
}

TEST(MilestoneNoticeTest, NoneBeforeNineOnOtherDaysOrForMarkedRecords)
{
    MilestoneTable table = Table({{At(2000, 1, 5), "Review"}});
    EXPECT_TRUE(DueNotices(ProgramSettings{}, table, At(2000, 1, 5, 8, 59, 59), NoticeMemory{}).empty());
    EXPECT_TRUE(DueNotices(ProgramSettings{}, table, At(2000, 1, 4, 12), NoticeMemory{}).empty());
    EXPECT_TRUE(DueNotices(ProgramSettings{}, table, At(2000, 1, 6, 9), NoticeMemory{}).empty());
    table.MarkMilestoneForRemoval(1);
    EXPECT_TRUE(DueNotices(ProgramSettings{}, table, At(2000, 1, 5, 9), NoticeMemory{}).empty());
}

TEST(NoticeMemoryTest, SwitchedOffOnlyByFalse)
{
    test::TempDir dir;
    SettingsFile file(dir / "KESTREL.INI");
    EXPECT_TRUE(ReadNoticeMemory(file).enabled);
    for (const char* value : {"False", "false", "FALSE"}) {
        WriteSetting(file, "Notifications", "Enabled", value);
        EXPECT_FALSE(ReadNoticeMemory(file).enabled) << value;
    }
    for (const char* value : {"True", "1", "garbage"}) {
        WriteSetting(file, "Notifications", "Enabled", value);
        EXPECT_TRUE(ReadNoticeMemory(file).enabled) << value;
    }

    // Switched off, nothing is due, zero or milestone.
    NoticeMemory off;
    off.enabled = false;
    const MilestoneTable table = Table({{At(2000, 1, 1), "Launch"}});
    EXPECT_TRUE(DueNotices(ProgramSettings{}, table, At(2000, 1, 1, 10), off).empty());
}

TEST(NoticeMemoryTest, RememberingLeavesTheExistingSectionsAsTheyWere)
{
    Ticks ticks;
    const std::string before = "[Target Date]\r\nTarget_Year=2000\r\n[File Options]\r\nProject Title=Launch\r\n";
    {
        std::ofstream(ticks.dir / "KESTREL.INI", std::ios::binary) << before;
    }
    ticks.settings.ProjectTitle = "Launch";
    FixedClock clock(At(2000, 1, 1));
    ticks.run(clock, 1);
    ASSERT_EQ(ticks.given.size(), 1u);
    EXPECT_EQ(ticks.file.ReadSetting("Target Date", "Target_Year", ""), "2000");
    EXPECT_EQ(ticks.file.ReadSetting("File Options", "Project Title", ""), "Launch");
    EXPECT_EQ(ticks.file.ReadSetting("Notifications", "Zero Given", ""), "2000-01-01");
}

TEST(RemindDaysTest, OnlyWholeNumbersFromOneToTenYearsCount)
{
    // clang-format off
    const struct { const char* text; std::vector<int> days; bool allRead; } cases[] = {
        {"", {}, true},
        {"   ", {}, true},
        {"30,7,1", {1, 7, 30}, true},
        {" 7 , 1 ,7", {1, 7}, true},
        {"3660", {3660}, true},
        {"0,3661,-1,7", {7}, false},
        {"7days,1", {1}, false},
        {"1.5,2", {2}, false},
        {"1,,2", {1, 2}, false},
        {"99999999999999999999", {}, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        const RemindDays read = ReadRemindDays(c.text);
        EXPECT_EQ(read.days, c.days) << c.text;
        EXPECT_EQ(read.allRead, c.allRead) << c.text;
    }
}

// The target reminder comes at nine on the day the chosen days before the target, once, also at a
// start later that day, never on a later day.
TEST(ReminderTest, GivenOnceAtNineOrAtALateStartThatDay)
{
    Ticks ticks;
    WriteSetting(ticks.file, "Notifications", "Remind Days Before", "30,7,x");
    ticks.settings.TargetYear = "2000";
    FixedClock clock(At(1999, 12, 25, 8, 59, 58));
    ticks.run(clock, 5);
    ASSERT_EQ(ticks.given.size(), 1u);
    EXPECT_EQ(ticks.given[0], "Year 2000 Conversion Project | The countdown to Jan 1, 2000 ends in 7 days.");
    EXPECT_EQ(ticks.file.ReadSetting("Notifications", "Reminder Given", ""), "2000-01-01 7");

    // A restart that day finds it remembered.
    FixedClock restart(At(1999, 12, 25, 15, 0, 0));
    ticks.run(restart, 2);
    EXPECT_EQ(ticks.given.size(), 1u);

    // Thirty days before, Kestrel first started in the evening: it comes then; started a day
    // late, it does not.
    for (const auto& [start, count] : {std::pair{At(1999, 12, 2, 21, 0, 0), 1u}, std::pair{At(1999, 12, 3, 9), 0u}}) {
        Ticks first;
        WriteSetting(first.file, "Notifications", "Remind Days Before", "30");
        first.settings.TargetYear = "2000";
        FixedClock clock(start);
        first.run(clock, 1);
        EXPECT_EQ(first.given.size(), count);
    }
}

TEST(ReminderTest, OneDayBeforeSaysTomorrowAndMilestonesComeTogether)
{
    Ticks ticks;
    WriteSetting(ticks.file, "Notifications", "Remind Days Before", "1");
    WriteSetting(ticks.file, "Notifications", "Milestone Remind Days Before", "1,7");
    ticks.settings.TargetYear = "2000";
    ticks.milestones =
        Table({{At(2000, 1, 1), "Go <live>"}, {At(2000, 1, 7), "Review"}, {At(2000, 1, 3), "Not today"}});
    FixedClock clock(At(1999, 12, 31, 9, 0, 0));
    ticks.run(clock, 1);
    ASSERT_EQ(ticks.given.size(), 2u);
    EXPECT_EQ(ticks.given[0], "Year 2000 Conversion Project | The countdown to Jan 1, 2000 ends tomorrow.");
    EXPECT_EQ(ticks.given[1], "Milestones coming up | Tomorrow (Jan 1, 2000): Go &lt;live&gt;\n"
                              "In 7 days (Jan 7, 2000): Review");
    EXPECT_EQ(ticks.file.ReadSetting("Notifications", "Milestone Reminder Given", ""), "36525");
    ticks.run(clock, 3);
    EXPECT_EQ(ticks.given.size(), 2u) << "once";
}

TEST(ReminderTest, NoneWithoutChosenDaysOrWhenSwitchedOff)
{
    Ticks ticks;
    ticks.settings.TargetYear = "2000";
    ticks.milestones = Table({{At(2000, 1, 1), "Launch"}});
    FixedClock clock(At(1999, 12, 25, 10, 0, 0));
    ticks.run(clock, 1);
    EXPECT_TRUE(ticks.given.empty());
    WriteSetting(ticks.file, "Notifications", "Remind Days Before", "7");
    WriteSetting(ticks.file, "Notifications", "Milestone Remind Days Before", "7");
    WriteSetting(ticks.file, "Notifications", "Enabled", "False");
    ticks.run(clock, 1);
    EXPECT_TRUE(ticks.given.empty());
}

// A target that renews every year is announced at each anniversary; one whose day ended while
// Kestrel was not running gets one notification saying what it now counts to.
TEST(RenewNoticeTest, ZeroAtEachAnniversaryAndOneNoticeForAMissedOne)
{
    Ticks ticks;
    ticks.settings.TargetYear = "2026";
    ticks.settings.TargetMonth = "12";
    ticks.settings.TargetDay = "25";
    ticks.settings.RenewYearly = "True";
    FixedClock clock(At(2026, 12, 24, 23, 59, 58));
    ticks.run(clock, 5);
    ASSERT_EQ(ticks.given.size(), 1u);
    EXPECT_EQ(ticks.given[0], "Year 2000 Conversion Project | The countdown to Dec 25, 2026 has reached zero.");
    // The next day, with the new year stored or not, nothing more.
    FixedClock nextDay(At(2026, 12, 26, 9, 0, 0));
    ticks.run(nextDay, 1);
    ticks.settings.TargetYear = "2027";
    ticks.run(nextDay, 1);
    EXPECT_EQ(ticks.given.size(), 1u);

    // Not running on the day: one notice at the next start, none again.
    FixedClock later(At(2028, 1, 3, 8, 0, 0));
    ticks.run(later, 3);
    ASSERT_EQ(ticks.given.size(), 2u);
    EXPECT_EQ(ticks.given[1], "Year 2000 Conversion Project | The countdown to Dec 25, 2027 has passed. It renews "
                              "every year and now counts to Dec 25, 2028.");
}

} // namespace
} // namespace kestrel
