// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateAt.h"
#include "WorkDays.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::At;

long long Day(int y, int m, int d)
{
    return DayOf(PackDate(y, m, d));
}

// The rule as written: every day of [from, to) looked at, one by one.
long long WalkedWorkDays(const WorkCalendar& calendar, long long from, long long to)
{
    long long count = 0;
    for (long long day = std::min(from, to); day < std::max(from, to); ++day) {
        count += calendar.worked(day) ? 1 : 0;
    }
    return from <= to ? count : -count;
}

const WorkingWeek kMondayToFriday = *ReadWorkingWeek("Mon Tue Wed Thu Fri");
const WorkingWeek kSundayToThursday = *ReadWorkingWeek("Sun Mon Tue Wed Thu");

struct WorkDayCase
{
    const char* what;
    const char* week;
    std::vector<Holiday> holidays;
    int fromYear, fromMonth, fromDay;
    int toYear, toMonth, toDay;
    long long workDays;
};

const std::vector<WorkDayCase>& Cases()
{
    static const std::vector<WorkDayCase> cases = {
        // clang-format off
        {"Thursday before a Friday holiday", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 24), "Christmas Eve"}}, 1999, 12, 23, 2000, 1, 10, 11},
        {"Monday after the holiday", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 24), "Christmas Eve"}}, 1999, 12, 27, 2000, 1, 10, 10},
        {"the holiday itself counts as the next work day", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 24), "Christmas Eve"}}, 1999, 12, 24, 2000, 1, 10, 10},
        {"Sunday to Thursday week", "Sun Mon Tue Wed Thu", {{Day(1999, 12, 24), "Christmas Eve"}}, 1999, 12, 26, 2000, 1, 10, 11},
        {"Christmas and Boxing Day on a weekend take nothing", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 25), "Christmas Day"}, {Day(1999, 12, 26), "Boxing Day"}}, 1999, 12, 20, 2000, 1, 3, 10},
        {"Christmas and Boxing Day on work days", "Mon Tue Wed Thu Fri", {{Day(2000, 12, 25), "Christmas Day"}, {Day(2000, 12, 26), "Boxing Day"}}, 2000, 12, 18, 2001, 1, 1, 8},
        {"a multi-day holiday", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 27), "Break"}, {Day(1999, 12, 28), "Break"}, {Day(1999, 12, 29), "Break"}}, 1999, 12, 20, 2000, 1, 3, 7},
        {"a target on a holiday counts to it", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 24), "Christmas Eve"}}, 1999, 12, 20, 1999, 12, 24, 4},
        {"back in time is negative", "Mon Tue Wed Thu Fri", {{Day(1999, 12, 24), "Christmas Eve"}}, 2000, 1, 10, 1999, 12, 23, -11},
        {"the same day is no span", "Mon Tue Wed Thu Fri", {}, 2000, 1, 3, 2000, 1, 3, 0},
        {"before 1900", "Mon Tue Wed Thu Fri", {{Day(1850, 12, 25), "Christmas Day"}}, 1850, 12, 1, 1851, 1, 1, 21},
        {"up to the last day of 9999", "Mon Tue Wed Thu Fri", {{Day(9999, 12, 24), "Christmas Eve"}}, 9999, 12, 1, 9999, 12, 31, 21},
        {"an empty week works no day", "", {}, 2000, 1, 1, 2001, 1, 1, 0},
        {"a seven-day week works every day but holidays", "Sun Mon Tue Wed Thu Fri Sat", {{Day(2000, 1, 1), "New Year"}}, 2000, 1, 1, 2000, 2, 1, 30},
        // clang-format on
    };
    return cases;
}

WorkingWeek WeekOf(const char* text)
{
    return std::string_view(text).empty() ? WorkingWeek{0} : *ReadWorkingWeek(text);
}

TEST(WorkCalendarTest, CountsTheWorkedDaysThatAreNoHoliday)
{
    for (const WorkDayCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        const WorkCalendar calendar(WeekOf(c.week), c.holidays);
        const long long from = Day(c.fromYear, c.fromMonth, c.fromDay);
        const long long to = Day(c.toYear, c.toMonth, c.toDay);
        EXPECT_EQ(calendar.workDays(from, to), c.workDays);
        EXPECT_EQ(
            calendar.workDays(PackDate(c.fromYear, c.fromMonth, c.fromDay), PackDate(c.toYear, c.toMonth, c.toDay)),
            c.workDays);
        EXPECT_EQ(calendar.workDays(to, from), -c.workDays);
        EXPECT_EQ(calendar.workDays(from, to), WalkedWorkDays(calendar, from, to));
    }
}

TEST(WorkCalendarTest, WithoutAWorkingWeekEveryCountIsTheOlderRule)
{
    const WorkCalendar older;
    EXPECT_FALSE(older.usesHolidays());
    for (const WorkDayCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        const DateValue from = PackDate(c.fromYear, c.fromMonth, c.fromDay);
        const DateValue to = PackDate(c.toYear, c.toMonth, c.toDay);
        EXPECT_EQ(older.workDays(from, to), WorkDayCount(from, to));
        EXPECT_EQ(older.daysOff(DayOf(from), DayOf(to)), DateDiff("d", from, to) - WorkDayCount(from, to));
    }
    // The older rule's own examples: a Saturday to the next day is -1.
    EXPECT_EQ(older.workDays(At(2000, 1, 1), At(2000, 1, 2)), -1);
    EXPECT_FALSE(older.worked(Day(2000, 1, 1)));
    EXPECT_TRUE(older.worked(Day(2000, 1, 3)));
}

TEST(WorkCalendarTest, AgreesWithAWalkOverEveryStartAndLengthOfAFewWeeks)
{
    const WorkCalendar calendar(kSundayToThursday,
                                {{Day(2000, 1, 2), "A"}, {Day(2000, 1, 5), "B"}, {Day(2000, 1, 8), "C"}});
    for (long long from = Day(1999, 12, 20); from < Day(2000, 1, 10); ++from) {
        for (long long length = -30; length <= 30; ++length) {
            ASSERT_EQ(calendar.workDays(from, from + length), WalkedWorkDays(calendar, from, from + length))
                << from << " + " << length;
        }
    }
}

TEST(WorkCalendarTest, NamesTheHolidayOfADayAndLeavesItUnworked)
{
    const WorkCalendar calendar(kMondayToFriday,
                                {{Day(1999, 12, 24), "Christmas Eve"}, {Day(1999, 12, 24), "Office closed"}});
    ASSERT_TRUE(calendar.holidayOn(Day(1999, 12, 24)));
    EXPECT_EQ(*calendar.holidayOn(Day(1999, 12, 24)), "Christmas Eve, Office closed");
    EXPECT_FALSE(calendar.holidayOn(Day(1999, 12, 23)));
    EXPECT_FALSE(calendar.worked(Day(1999, 12, 24)));
    EXPECT_TRUE(calendar.worked(Day(1999, 12, 23)));
    EXPECT_FALSE(calendar.worked(Day(1999, 12, 25)));
}

TEST(WorkCalendarTest, HolidaysAreSortedAndOneADay)
{
    const std::vector<Holiday> merged = MergeHolidays(
        {{Day(2000, 12, 25), "Christmas"}, {Day(2000, 1, 1), "New Year"}, {Day(2000, 12, 25), "Christmas"}});
    ASSERT_EQ(merged.size(), 2U);
    EXPECT_EQ(merged[0].name, "New Year");
    EXPECT_EQ(merged[1].name, "Christmas");
}

TEST(WorkCalendarTest, ACenturyOfHolidaysCountsAsTheWalkDoes)
{
    std::vector<Holiday> holidays;
    for (int year = 1950; year < 2050; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (const int day : {1, 9, 17, 25}) {
                holidays.push_back({Day(year, month, day), "Holiday"});
            }
        }
    }
    const WorkCalendar calendar(kMondayToFriday, holidays);
    const long long from = Day(1950, 3, 7);
    const long long to = Day(2049, 10, 2);
    EXPECT_EQ(calendar.workDays(from, to), WalkedWorkDays(calendar, from, to));
}

struct WeekTextCase
{
    const char* text;
    std::optional<std::uint8_t> days;
};

TEST(WorkingWeekTest, ReadsEnglishDayAbbreviationsSeparatedByBlanks)
{
    // clang-format off
    const WeekTextCase cases[] = {
        {"Mon Tue Wed Thu Fri", 0b0111110},
        {"Sun Mon Tue Wed Thu", 0b0011111},
        {"  sat   SUN\tmon ", 0b1000011},
        {"Fri Fri", 0b0100000},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"Mon Tuesday", std::nullopt},
        {"Mon,Tue", std::nullopt},
        {"Lun Mar", std::nullopt},
    };
    // clang-format on
    for (const WeekTextCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<WorkingWeek> week = ReadWorkingWeek(c.text);
        ASSERT_EQ(week.has_value(), c.days.has_value());
        if (week) {
            EXPECT_EQ(week->days, *c.days);
        }
    }
    EXPECT_EQ(WorkingWeekText(*ReadWorkingWeek("sun thu mon")), "Mon Thu Sun");
    EXPECT_EQ(WorkingWeekText(WorkingWeek{}), kDefaultWorkingWeek);
}

} // namespace
} // namespace kestrel
