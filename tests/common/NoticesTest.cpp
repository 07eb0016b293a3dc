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

} // namespace
} // namespace kestrel
