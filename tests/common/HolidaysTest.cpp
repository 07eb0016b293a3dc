// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Countdown.h"
#include "DateAt.h"
#include "Holidays.h"
#include "ProgramSettings.h"
#include "ScopedEnvironment.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::At;

long long Day(int y, int m, int d)
{
    return DayOf(PackDate(y, m, d));
}

class HolidaysTest : public ::testing::Test
{
protected:
    test::TempDir dir;
    test::ScopedEnvironment cache{"XDG_CACHE_HOME", (dir / "cache").string()};
    std::filesystem::path settingsPath = dir / "KESTREL.INI";

    void writeSettings(const std::string& workDays)
    {
        test::WriteFile(settingsPath, "[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=10\n"
                                      "Target_Type=WorkDays\nCaption_option=dd:hh:mm:ss\n[Work Days]\n" +
                                          workDays);
    }
    ProgramSettings load() { return LoadProgramSettings(SettingsFile(settingsPath), dir.path()); }
};

TEST_F(HolidaysTest, CacheTextReadsBackAsWritten)
{
    const std::vector<Holiday> holidays = {
        {Day(1850, 1, 1), "Old\tYear"}, {Day(1999, 12, 24), "Christmas Eve"}, {Day(9999, 12, 31), "Last day"}};
    const std::string text = HolidayCacheText(holidays);
    EXPECT_EQ(text.substr(0, 19), "Kestrel holidays 1\n");
    const auto read = ReadHolidayCacheText(text);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 3U);
    EXPECT_EQ((*read)[0].name, "Old Year");
    EXPECT_EQ((*read)[1], holidays[1]);
    EXPECT_EQ((*read)[2], holidays[2]);
}

TEST_F(HolidaysTest, DamagedCacheTextsReadAsNothing)
{
    // clang-format off
    const char* damaged[] = {
        "",
        "Kestrel holidays 2\n",
        "Kestrel holidays 1\n36518 no tab\n",
        "Kestrel holidays 1\nx36518\tName\n",
        "Kestrel holidays 1\n\tName\n",
        "Kestrel holidays 1\n36519\tB\n36518\tA\n",
        "Kestrel holidays 1\n36518\tA\n36518\tA\n",
        "Kestrel holidays 1\n99999999\tFar\n",
        "Kestrel holidays 1\n36518\tcut short",
    };
    // clang-format on
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ReadHolidayCacheText(text));
    }
    EXPECT_TRUE(ReadHolidayCacheText("Kestrel holidays 1\n"));
}

TEST_F(HolidaysTest, EachSettingsFileHasACacheOfItsOwnInTheCacheFolder)
{
    const std::filesystem::path first = HolidayCachePath(settingsPath);
    EXPECT_EQ(first.parent_path(), dir / "cache" / "kestrel");
    EXPECT_NE(first, HolidayCachePath(dir / "other" / "KESTREL.INI"));
    EXPECT_EQ(first, HolidayCachePath(settingsPath));
}

TEST_F(HolidaysTest, OffTheCacheIsNotReadAndTheOlderRuleHolds)
{
    writeSettings("Use Holidays=False\n");
    WriteHolidayCache(HolidayCachePath(settingsPath), {{Day(1999, 12, 24), "Christmas Eve"}});
    const ProgramSettings settings = load();
    EXPECT_FALSE(settings.workDayRule().usesHolidays());
    EXPECT_TRUE(settings.workDaysProblem.empty());
    EXPECT_EQ(ComputeCountdown(At(1999, 12, 23, 10), settings).Line, "T-11:13:59:60");
}

TEST_F(HolidaysTest, OnTheCountdownLeavesOutTheHolidaysOfTheCache)
{
    writeSettings("Use Holidays=True\n");
    WriteHolidayCache(HolidayCachePath(settingsPath), {{Day(1999, 12, 24), "Christmas Eve"}});
    const ProgramSettings settings = load();
    ASSERT_TRUE(settings.workDayRule().usesHolidays());
    EXPECT_TRUE(settings.workDaysProblem.empty());
    // 24 December is a holiday: the whole days after today that are worked are 27 to 31
    // December and 3 to 7 January.
    EXPECT_EQ(ComputeCountdown(At(1999, 12, 23, 10), settings).Line, "T-10:13:59:60");
    EXPECT_EQ(ComputeCountdown(At(1999, 12, 24, 10), settings).Line, "T-10:13:59:60");
    EXPECT_EQ(ComputeCountdown(At(2000, 1, 7, 10), settings).Line, "T-0:13:59:60");
    EXPECT_EQ(ComputeCountdown(At(2000, 1, 10), settings).Line, "T-0:0:0:0");
}

struct CountCase
{
    const char* what;
    const char* format;
    const char* countUp;
    DateValue now;
    const char* line;
};

TEST_F(HolidaysTest, EveryFormAndDirectionOfTheCountFollowsTheRule)
{
    writeSettings("Use Holidays=True\nWorking Week=Sun Mon Tue Wed Thu\n");
    WriteHolidayCache(HolidayCachePath(settingsPath), {{Day(1999, 12, 27), "Holiday"}, {Day(2000, 1, 11), "Later"}});
    // clang-format off
    const CountCase cases[] = {
        // 26 and 28 to 30 December (27th off), 2 to 6 and 9 January after Saturday 25 December.
        {"whole days", "dd:hh:mm:ss", "False", At(1999, 12, 25, 12), "T-10:11:59:60"},
        {"years family", "yy:dd:hh:mm:ss", "False", At(1999, 12, 25, 12), "T-0:10:11:59:60"},
        {"hours family", "hh:mm:ss", "False", At(1999, 12, 25, 12), "T-251:59:60"},
        // After the target: 10 and 12 January are worked days passed (11th a holiday).
        {"past the target", "dd:hh:mm:ss", "False", At(2000, 1, 13, 6), "T--2:-6:0:0"},
        {"counting up", "dd:hh:mm:ss", "True", At(2000, 1, 13, 6), "T+2:6:0:0"},
        {"counting up in years", "yy:dd:hh:mm:ss", "True", At(2000, 1, 13, 6), "T+0:2:6:0:0"},
    };
    // clang-format on
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramSettings settings = load();
        settings.CaptionOption = c.format;
        settings.CountUp = c.countUp;
        EXPECT_EQ(ComputeCountdown(c.now, settings).Line, c.line);
    }
}

TEST_F(HolidaysTest, ADamagedCacheCountsWithoutHolidaysAndSaysSoOnce)
{
    writeSettings("Use Holidays=True\n");
    const std::filesystem::path cache = HolidayCachePath(settingsPath);
    std::filesystem::create_directories(cache.parent_path());
    test::WriteFile(cache, "garbage\n");
    const ProgramSettings settings = load();
    EXPECT_TRUE(settings.workDayRule().usesHolidays());
    EXPECT_TRUE(settings.workDayRule().holidays().empty());
    EXPECT_EQ(settings.workDaysProblem, DamagedHolidayCacheMessage(cache));
    EXPECT_EQ(ComputeCountdown(At(1999, 12, 23, 10), settings).Line, "T-11:13:59:60");
}

TEST_F(HolidaysTest, AnEmptyOrUnreadableWeekIsTheDefaultWeekWithAMessage)
{
    for (const char* week : {"", "Mon Tue Wed Thu Fry"}) {
        SCOPED_TRACE(week);
        writeSettings(std::string("Use Holidays=True\nWorking Week=") + week + "\n");
        const ProgramSettings settings = load();
        EXPECT_EQ(settings.workDayRule().week(), WorkingWeek{});
        EXPECT_EQ(settings.workDaysProblem, UnreadableWorkingWeekMessage(week));
    }
}

TEST_F(HolidaysTest, HolidayFilesFollowTheirCount)
{
    writeSettings(
        "Holiday FileCount=3\nHoliday File1=/a.ics\nHoliday File2=\nHoliday File3=/c.ics\nHoliday File4=/d.ics\n");
    EXPECT_EQ(HolidayFiles(SettingsFile(settingsPath)), (std::vector<std::string>{"/a.ics", "/c.ics"}));
}

} // namespace
} // namespace kestrel
