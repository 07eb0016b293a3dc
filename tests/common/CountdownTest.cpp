// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Countdown.h"
#include "DateAt.h"
#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "ScopedEnvironment.h"

#include <ctime>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using test::At;

struct Example
{
    const char* name;
    DateValue now;
    const char* year;
    const char* format;
    const char* type;
    std::array<int, 6> parts; // TotalDays, YearsPart, DaysPart, HoursPart, MinutesPart, SecondsPart
    const char* line;
};

class WorkedExamples : public ::testing::TestWithParam<Example>
{};

TEST_P(WorkedExamples, GiveTheirBreakdownAndLine)
{
    const Example& e = GetParam();
    const CountdownBreakdown b = ComputeCountdown(e.now, e.year, "1", "1", e.type, e.format);
    EXPECT_EQ(b.TotalDays, e.parts[0]);
    EXPECT_EQ(b.YearsPart, e.parts[1]);
    EXPECT_EQ(b.DaysPart, e.parts[2]);
    EXPECT_EQ(b.HoursPart, e.parts[3]);
    EXPECT_EQ(b.MinutesPart, e.parts[4]);
    EXPECT_EQ(b.SecondsPart, e.parts[5]);
    EXPECT_EQ(b.Line, e.line);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Countdown, WorkedExamples,
    ::testing::Values(
        Example{"TwoDaysBefore", At(1999, 12, 30, 15, 20, 45), "2000", "yy:dd:hh:mm:ss", "Days", {1, 0, 1, 8, 39, 15}, "T-0:1:8:39:15"},
        Example{"DaysFamily", At(1999, 12, 30, 15, 20, 45), "2000", "dd:hh:mm:ss", "Days", {1, 0, 1, 8, 39, 15}, "T-1:8:39:15"},
        Example{"HoursFamily", At(1999, 12, 30, 15, 20, 45), "2000", "hh:mm:ss", "Days", {1, 0, 1, 8, 39, 15}, "T-32:39:15"},
        Example{"TwoYearsAway", At(1999, 12, 30, 15, 20, 45), "2002", "yy:dd:hh:mm:ss", "Days", {732, 2, 1, 8, 39, 15}, "T-2:1:8:39:15"},
        Example{"FullMinuteShowsAsSixtySeconds", At(1999, 12, 31, 23, 59, 0), "2000", "yy:dd:hh:mm:ss", "Days", {0, 0, 0, 0, 0, 60}, "T-0:0:0:0:60"},
        Example{"WorkDaysTakeOneWeekendOff", At(1999, 12, 24, 10, 0, 0), "2000", "dd:hh:mm:ss", "WorkDays", {5, 0, 7, 13, 59, 60}, "T-5:13:59:60"},
        Example{"LeapDaysMakeTheDayPartNegative", At(2000, 1, 1, 12, 0, 0), "2004", "yy:dd:hh:mm:ss", "Days", {1460, 4, -1, 11, 59, 60}, "T-4:-1:11:59:60"},
        Example{"AfterTheTarget", At(2000, 1, 2, 10, 30, 15), "2000", "yy:dd:hh:mm:ss", "Days", {-1, 0, -1, -10, -30, -15}, "T-0:-1:-10:-30:-15"},
        Example{"AfterTheTargetDaysFamily", At(2000, 1, 2, 10, 30, 15), "2000", "dd:hh:mm:ss", "Days", {-1, 0, -1, -10, -30, -15}, "T--1:-10:-30:-15"},
        Example{"AtTheExactTargetSecond", At(2000, 1, 1), "2000", "yy:dd:hh:mm:ss", "Days", {0, 0, 0, 0, 0, 0}, "T-0:0:0:0:0"},
        // Only the exact text "WorkDays" counts work days.
        Example{"WorkDaysIsCaseSensitive", At(1999, 12, 24, 10, 0, 0), "2000", "dd:hh:mm:ss", "workdays", {7, 0, 7, 13, 59, 60}, "T-7:13:59:60"},
        // No Sunday between Monday and Saturday: nothing taken off.
        Example{"WorkDaysWithoutASunday", At(1999, 12, 27, 10, 0, 0), "2000", "dd", "WorkDays", {4, 0, 4, 13, 59, 60}, "T-4"},
        // In the years family the work-day rule adjusts the day part, not the total.
        Example{"WorkDaysInTheYearsFamily", At(1999, 12, 24, 10, 0, 0), "2000", "yy:dd", "WorkDays", {7, 0, 5, 13, 59, 60}, "T-0:5"}),
    [](const ::testing::TestParamInfo<Example>& info) { return std::string(info.param.name); });
// clang-format on

struct LineCase
{
    const char* format;
    const char* line;
    bool keepTicking;
};

class LineByFormat : public ::testing::TestWithParam<LineCase>
{};

// Two years, one day, 8:39:15 left; total days 732, total hours 17576.
TEST_P(LineByFormat, ListsTheUnitsOfTheFormat)
{
    const LineCase& c = GetParam();
    const CountdownBreakdown b = ComputeCountdown(At(1999, 12, 30, 15, 20, 45), "2002", "1", "1", "Days", c.format);
    EXPECT_EQ(b.Line, c.line) << c.format;
    EXPECT_EQ(b.KeepTicking, c.keepTicking) << c.format;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TwelveFormatsAndOthers, LineByFormat,
    ::testing::Values(
        LineCase{"yy", "T-2", false},
        LineCase{"yy:dd", "T-2:1", true},
        LineCase{"yy:dd:hh", "T-2:1:8", true},
        LineCase{"yy:dd:hh:mm", "T-2:1:8:39", true},
        LineCase{"yy:dd:hh:mm:ss", "T-2:1:8:39:15", true},
        LineCase{"dd", "T-732", true},
        LineCase{"dd:hh", "T-732:8", true},
        LineCase{"dd:hh:mm", "T-732:8:39", true},
        LineCase{"dd:hh:mm:ss", "T-732:8:39:15", true},
        LineCase{"hh", "T-17576", true},
        LineCase{"hh:mm", "T-17576:39", true},
        LineCase{"hh:mm:ss", "T-17576:39:15", true},
        // Formats outside the list go by family and length.
        LineCase{"yyy", "T-2", false},
        LineCase{"yyxx", "T-2:1", true},
        LineCase{"yy:dd:", "T-2:1:8", true},
        LineCase{"dd:", "T-732", true},
        LineCase{"ddxxxx", "T-732:8:39", true},
        LineCase{"mm:ss", "T-17576:39", true},
        LineCase{"", "T-17576", true},
        LineCase{"YY:DD", "T-17576:39", true},
        LineCase{"x", "T-17576", true}));
// clang-format on

TEST(ComputeCountdownTest, TodayLineShowsNow)
{
    const CountdownBreakdown b = ComputeCountdown(At(1999, 12, 30, 15, 20, 45), "2000", "1", "1", "Days", "dd");
    EXPECT_EQ(b.TodayLine, "Today is: Dec 30, 1999 15:20:45");
    EXPECT_EQ(ComputeCountdown(At(2026, 1, 5, 9, 5, 3), "2000", "1", "1", "Days", "dd").TodayLine,
              "Today is: Jan 5, 2026 9:05:03");
}

TEST(ComputeCountdownTest, TargetTextsAreReadByTheirLeadingNumber)
{
    // " 2000 ", "1st" and "01" all read as numbers; "13" carries into the next year; text
    // without a number reads as 0, which is the year 2000.
    const DateValue now = At(1999, 12, 30, 15, 20, 45);
    EXPECT_EQ(ComputeCountdown(now, " 2000 ", "1st", "01", "Days", "dd").Line, "T-1");
    EXPECT_EQ(ComputeCountdown(now, "1999", "13", "1", "Days", "dd").Line, "T-1");
    EXPECT_EQ(ComputeCountdown(now, "garbage", "1", "1", "Days", "dd").Line, "T-1");
    // Fractions round to the nearest whole number, halves to even: day 2.5 is the 2nd.
    EXPECT_EQ(ComputeCountdown(now, "1999.6", "1", "2.5", "Days", "dd").Line, "T-2");
}

TEST(ComputeCountdownTest, PartsAddUpToTheTimeSinceAfterTheTarget)
{
    // Three years and a bit after the target: a whole number of years with a positive day part
    // and negative time parts.
    const DateValue now = At(2003, 3, 1, 6, 0, 0);
    const CountdownBreakdown b = ComputeCountdown(now, "2000", "1", "1", "Days", "yy:dd:hh:mm:ss");
    EXPECT_EQ(b.YearsPart, -3);
    const DateValue anchor = DateAdd("yyyy", b.YearsPart, now);
    const long long secondsFromAnchor =
        (static_cast<long long>(b.DaysPart) * 86400) + b.HoursPart * 3600 + b.MinutesPart * 60 + b.SecondsPart;
    EXPECT_EQ(DateDiff("s", anchor, PackDate(2000, 1, 1)), secondsFromAnchor);
}

TEST(ComputeCountdownTest, BeforeTheTargetThePartsAddUpExactly)
{
    for (const DateValue now : {At(1998, 2, 28, 0, 0, 1), At(1999, 6, 15, 12, 30, 30), At(1999, 12, 31, 23, 59, 59)}) {
        const CountdownBreakdown b = ComputeCountdown(now, "2000", "1", "1", "Days", "dd:hh:mm:ss");
        const long long seconds =
            ((static_cast<long long>(b.TotalDays) * 24 + b.HoursPart) * 60 + b.MinutesPart) * 60 + b.SecondsPart;
        EXPECT_EQ(seconds, DateDiff("s", now, PackDate(2000, 1, 1)));
    }
}

TEST(ComputeCountdownTest, TotalHoursBeyondSixteenBitsDoNotOverflow)
{
    const CountdownBreakdown b = ComputeCountdown(At(2000, 1, 1), "2080", "1", "1", "Days", "hh:mm:ss");
    EXPECT_EQ(b.TotalHours(), 29219 * 24 + 23);
    EXPECT_EQ(b.Line, "T-" + std::to_string(29219 * 24 + 23) + ":59:60");
}

TEST(ComputeCountdownTest, CountsBeyondSixteenBitsRaiseOverflow)
{
    for (const char* year : {"2090", "1910"}) {
        try {
            ComputeCountdown(At(2000, 1, 1), year, "1", "1", "Days", "dd");
            FAIL() << year;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.number(), RuntimeError::Overflow) << year;
        }
    }
    try {
        ComputeCountdown(At(2000, 1, 1), "99999", "1", "1", "Days", "dd");
        FAIL();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), RuntimeError::Overflow);
    }
}

TEST(FamilyTest, FirstTwoCharactersDecideWithCase)
{
    EXPECT_EQ(FamilyOf("yy:dd"), FormatFamily::Years);
    EXPECT_EQ(FamilyOf("dd"), FormatFamily::Days);
    EXPECT_EQ(FamilyOf("hh"), FormatFamily::Hours);
    EXPECT_EQ(FamilyOf("Dd"), FormatFamily::Hours);
    EXPECT_EQ(FamilyOf("y"), FormatFamily::Hours);
}

// Daylight-saving changes: the count is the real time left to the first moment of the target
// day, shown as a clock without changes would show it.
class ScopedZone
{
public:
    explicit ScopedZone(const char* zone) : m_zone("TZ", zone) { ::tzset(); }

private:
    test::ScopedEnvironment m_zone;
};

struct ZoneCase
{
    const char* name;
    const char* zone;
    DateValue now;
    int targetYear, targetMonth, targetDay;
    const char* line;
};

class ChangesOfTheClocks : public ::testing::TestWithParam<ZoneCase>
{};

TEST_P(ChangesOfTheClocks, CountTheRealTimeLeft)
{
    const ZoneCase& c = GetParam();
    {
        ScopedZone zone(c.zone);
        const CountdownBreakdown b =
            ComputeCountdown(c.now, std::to_string(c.targetYear), std::to_string(c.targetMonth),
                             std::to_string(c.targetDay), "Days", "yy:dd:hh:mm:ss");
        EXPECT_EQ(b.Line, c.line);
        EXPECT_EQ(b.TodayLine, "Today is: " + Format(c.now, "mmm d, yyyy h:mm:ss")); // the wall clock
    }
    ::tzset(); // back to the zone the other tests run in
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Zones, ChangesOfTheClocks, ::testing::Values(
    ZoneCase{"BerlinSpringIsAnHourShorter", "Europe/Berlin", At(2027, 3, 27, 12, 0, 30), 2027, 3, 29, "T-0:1:10:59:30"},
    ZoneCase{"BerlinAutumnIsAnHourLonger", "Europe/Berlin", At(2027, 10, 30, 12, 0, 30), 2027, 11, 1, "T-0:1:12:59:30"},
    ZoneCase{"BerlinWithoutAChangeBetween", "Europe/Berlin", At(2027, 6, 1, 12, 0, 30), 2027, 6, 3, "T-0:1:11:59:30"},
    ZoneCase{"BerlinAfterTheChange", "Europe/Berlin", At(2027, 3, 28, 12, 0, 30), 2027, 3, 29, "T-0:0:11:59:30"},
    ZoneCase{"BerlinPassedAcrossTheChange", "Europe/Berlin", At(2027, 3, 29, 12, 0, 0), 2027, 3, 28, "T-0:-1:-11:0:0"},
    ZoneCase{"BerlinZeroAtMidnight", "Europe/Berlin", At(2027, 3, 29), 2027, 3, 29, "T-0:0:0:0:0"},
    ZoneCase{"UtcHasNoChanges", "UTC", At(2027, 3, 27, 12, 0, 30), 2027, 3, 29, "T-0:1:11:59:30"},
    ZoneCase{"SantiagoSkipsMidnightZeroAtOne", "America/Santiago", At(2027, 9, 5, 1, 0, 0), 2027, 9, 5, "T-0:0:0:0:0"},
    ZoneCase{"SantiagoBeforeTheSkippedMidnight", "America/Santiago", At(2027, 9, 4, 12, 0, 30), 2027, 9, 5, "T-0:0:11:59:30"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// A target time of day: the count runs to that moment with every rule of the count at midnight.
struct TimeCase
{
    const char* name;
    const char* zone;
    DateValue now;
    int targetYear, targetMonth, targetDay;
    const char* time;
    const char* line;
};

class TimeOfDay : public ::testing::TestWithParam<TimeCase>
{};

TEST_P(TimeOfDay, CountsToTheMomentOfTheDay)
{
    const TimeCase& c = GetParam();
    ProgramSettings settings;
    settings.TargetYear = std::to_string(c.targetYear);
    settings.TargetMonth = std::to_string(c.targetMonth);
    settings.TargetDay = std::to_string(c.targetDay);
    settings.TargetTime = c.time;
    {
        ScopedZone zone(c.zone);
        const CountdownBreakdown b = ComputeCountdown(c.now, settings);
        EXPECT_EQ(b.Line, c.line);
        EXPECT_EQ(b.TodayLine, "Today is: " + Format(c.now, "mmm d, yyyy h:mm:ss"));
    }
    ::tzset();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Zones, TimeOfDay, ::testing::Values(
    TimeCase{"ThirtySecondsBefore", "UTC", At(2027, 3, 10, 16, 59, 30), 2027, 3, 10, "17:00", "T-0:0:0:0:30"},
    TimeCase{"AtTheMoment", "UTC", At(2027, 3, 10, 17, 0, 0), 2027, 3, 10, "17:00", "T-0:0:0:0:0"},
    TimeCase{"OneSecondAfter", "UTC", At(2027, 3, 10, 17, 0, 1), 2027, 3, 10, "17:00", "T-0:0:0:0:-1"},
    TimeCase{"OneHourDigit", "UTC", At(2027, 3, 10, 8, 0, 0), 2027, 3, 10, "9:05", "T-0:0:1:4:60"},
    TimeCase{"AcrossMidnight", "UTC", At(2027, 3, 9, 23, 0, 0), 2027, 3, 10, "01:30", "T-0:0:2:29:60"},
    TimeCase{"AYearAndADay", "UTC", At(2026, 3, 9, 17, 0, 0), 2027, 3, 10, "17:00", "T-1:0:23:59:60"},
    TimeCase{"MidnightIsTheDayItself", "UTC", At(2027, 3, 9, 12, 0, 30), 2027, 3, 10, "0:00", "T-0:0:11:59:30"},
    TimeCase{"AcrossTheSpringChange", "Europe/Berlin", At(2027, 3, 27, 12, 0, 30), 2027, 3, 29, "17:00", "T-0:2:3:59:30"},
    TimeCase{"AcrossTheAutumnChange", "Europe/Berlin", At(2027, 10, 30, 12, 0, 30), 2027, 11, 1, "17:00", "T-0:2:5:59:30"},
    TimeCase{"InTheSkippedHourMeansTheEndOfTheSkip", "Europe/Berlin", At(2027, 3, 28, 1, 0, 0), 2027, 3, 28, "2:30", "T-0:0:0:59:60"},
    TimeCase{"ZeroAtTheEndOfTheSkip", "Europe/Berlin", At(2027, 3, 28, 3, 0, 0), 2027, 3, 28, "02:30", "T-0:0:0:0:0"},
    TimeCase{"TwiceInTheNightMeansTheFirst", "Europe/Berlin", At(2027, 10, 31, 1, 30, 0), 2027, 10, 31, "2:30", "T-0:0:0:59:60"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// With "Count_Up" on, the count after the target is the plain time since it, after "T+".
struct CountUpCase
{
    const char* name;
    DateValue now;
    const char* time;
    const char* type;
    const char* format;
    const char* line;
};

class CountUp : public ::testing::TestWithParam<CountUpCase>
{};

TEST_P(CountUp, ShowsTheTimeSinceTheTarget)
{
    const CountUpCase& c = GetParam();
    ProgramSettings settings;
    settings.TargetYear = "2000";
    settings.TargetMonth = "2";
    settings.TargetDay = "29";
    settings.TargetTime = c.time;
    settings.TargetType = c.type;
    settings.CaptionOption = c.format;
    settings.CountUp = "True";
    EXPECT_EQ(ComputeCountdown(c.now, settings).Line, c.line);
    settings.CountUp = "False";
    EXPECT_EQ(ComputeCountdown(c.now, settings).Line[1], '-') << "off: the count of today";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, CountUp, ::testing::Values(
    CountUpCase{"OneSecondBefore", At(2000, 2, 28, 23, 59, 59), "", "Days", "yy:dd:hh:mm:ss", "T-0:0:0:0:1"},
    CountUpCase{"AtTheTarget", At(2000, 2, 29), "", "Days", "yy:dd:hh:mm:ss", "T-0:0:0:0:0"},
    CountUpCase{"OneSecondAfter", At(2000, 2, 29, 0, 0, 1), "", "Days", "yy:dd:hh:mm:ss", "T+0:0:0:0:1"},
    CountUpCase{"TheNextMorning", At(2000, 3, 1, 10, 20, 30), "", "Days", "yy:dd:hh:mm:ss", "T+0:1:10:20:30"},
    CountUpCase{"LeapDayCountsFrom28February", At(2001, 2, 28, 0, 0, 5), "", "Days", "yy:dd:hh:mm:ss", "T+1:0:0:0:5"},
    CountUpCase{"JustBeforeTheFirstYear", At(2001, 2, 27, 23, 59, 59), "", "Days", "yy:dd:hh:mm:ss", "T+0:364:23:59:59"},
    CountUpCase{"TotalDays", At(2001, 3, 1, 1, 0, 0), "", "Days", "dd:hh:mm:ss", "T+366:1:0:0"},
    CountUpCase{"WorkDaysLeaveOutWeekends", At(2000, 3, 6, 8, 0, 0), "", "WorkDays", "dd:hh:mm:ss", "T+4:8:0:0"},
    CountUpCase{"FromTheTargetTime", At(2000, 2, 29, 17, 0, 1), "17:00", "Days", "yy:dd:hh:mm:ss", "T+0:0:0:0:1"},
    CountUpCase{"BeforeTheTargetTime", At(2000, 2, 29, 16, 59, 59), "17:00", "Days", "yy:dd:hh:mm:ss", "T-0:0:0:0:1"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

// With "Renew_Yearly" on, every reader counts to the next anniversary of the stored day that is
// not past, and the settings file learns the new year once the anniversary's day has ended.
struct RenewCase
{
    const char* name;
    const char* year;
    const char* month;
    const char* day;
    const char* time;
    bool countUp;
    DateValue now;
    const char* line;
    const char* stored; // the year to store now; "" for none
};

class Renew : public ::testing::TestWithParam<RenewCase>
{};

TEST_P(Renew, CountsToTheNextAnniversary)
{
    const RenewCase& c = GetParam();
    ProgramSettings settings;
    settings.TargetYear = c.year;
    settings.TargetMonth = c.month;
    settings.TargetDay = c.day;
    settings.TargetTime = c.time;
    settings.CountUp = c.countUp ? "True" : "False";
    settings.RenewYearly = "True";
    EXPECT_EQ(ComputeCountdown(c.now, settings).Line, c.line);
    EXPECT_EQ(RenewedYearToStore(settings, c.now).value_or(""), c.stored);
    // The stored month and day never change, 29 February included.
    if (const auto year = RenewedYearToStore(settings, c.now)) {
        settings.TargetYear = *year;
        EXPECT_EQ(ComputeCountdown(c.now, settings).Line, c.line) << "the same count from the stored year";
        EXPECT_FALSE(RenewedYearToStore(settings, c.now)) << "stored once";
    }
    if (*c.time == '\0' && !c.countUp) {
        settings.RenewYearly = "False";
        EXPECT_EQ(ComputeCountdown(c.now, settings).Line,
                  ComputeCountdown(c.now, settings.TargetYear, c.month, c.day, "Days", "yy:dd:hh:mm:ss").Line)
            << "off: the count of today";
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Examples, Renew, ::testing::Values(
    RenewCase{"NotYetPast", "2026", "12", "25", "", false, At(2026, 12, 24), "T-0:0:23:59:60", ""},
    RenewCase{"AtTheMomentStillZero", "2026", "12", "25", "", false, At(2026, 12, 25), "T-0:0:0:0:0", ""},
    RenewCase{"ASecondLaterNextYear", "2026", "12", "25", "", false, At(2026, 12, 25, 0, 0, 1), "T-0:364:23:59:59", ""},
    RenewCase{"StoredWhenTheDayHasEnded", "2026", "12", "25", "", false, At(2026, 12, 26), "T-0:363:23:59:60", "2027"},
    RenewCase{"AfterTheTargetTime", "2026", "12", "25", "17:00", false, At(2026, 12, 25, 17, 0, 1), "T-0:364:23:59:59", ""},
    RenewCase{"CountUpThroughTheDay", "2026", "12", "25", "", true, At(2026, 12, 25, 23, 59, 59), "T+0:0:23:59:59", ""},
    RenewCase{"CountUpThenRenews", "2026", "12", "25", "", true, At(2026, 12, 26), "T-0:363:23:59:60", "2027"},
    RenewCase{"YearsWithoutARun", "2019", "3", "1", "", false, At(2026, 12, 7, 12, 0, 0), "T-0:83:11:59:60", "2027"},
    RenewCase{"YearsWithoutARunThisYear", "2019", "12", "25", "", false, At(2026, 12, 7), "T-0:17:23:59:60", "2026"},
    RenewCase{"LeapDayIs28FebruaryInACommonYear", "2024", "2", "29", "", false, At(2026, 12, 7), "T-0:82:23:59:60", "2027"},
    RenewCase{"LeapDayIs29FebruaryInALeapYear", "2024", "2", "29", "", false, At(2027, 3, 1), "T-0:364:23:59:60", "2028"},
    RenewCase{"LeapDayStoredInACommonYear", "2027", "2", "29", "", false, At(2027, 2, 27), "T-0:0:23:59:60", ""},
    RenewCase{"AFutureTargetStays", "2030", "6", "1", "", false, At(2026, 12, 7), "T-3:175:23:59:60", ""}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST(RenewTest, TheShownTargetIsTheAnniversary)
{
    ProgramSettings settings;
    settings.TargetYear = "2024";
    settings.TargetMonth = "2";
    settings.TargetDay = "29";
    settings.RenewYearly = "True";
    const ProgramSettings renewed = RenewedTarget(settings, At(2026, 12, 7));
    EXPECT_EQ(TargetIsoDate(renewed), "2027-02-28");
    EXPECT_FALSE(TargetPassed(renewed, At(2026, 12, 7)));
    // Stored as 29 February of a common year, it is the 28th to every reader of the target day.
    settings.TargetYear = "2027";
    EXPECT_EQ(TargetIsoDate(settings), "2027-02-28");
    settings.RenewYearly = "False";
    EXPECT_EQ(TargetIsoDate(settings), "2027-03-01") << "without renewal, the date parts carry as ever";
    settings.RenewYearly = "True";
    settings.TargetYear = "2024";
    // A month and day that name no day of the year are counted as stored.
    settings.TargetMonth = "13";
    EXPECT_EQ(RenewedTarget(settings, At(2026, 12, 7)).TargetYear, "2024");
    EXPECT_FALSE(RenewedYearToStore(settings, At(2026, 12, 7)));
}

TEST(TargetTimeOfDayTest, OnlyTwentyFourHourTimesCount)
{
    // clang-format off
    const struct { const char* text; int seconds; } cases[] = {
        {"17:00", 61200},
        {"9:05", 32700},
        {"09:05", 32700},
        {"0:00", 0},
        {"23:59", 86340},
        {"", -1},
        {"24:00", -1},
        {"17:60", -1},
        {"17", -1},
        {"17:0", -1},
        {"017:00", -1},
        {"5pm", -1},
        {"17:00:00", -1},
        {"-1:00", -1},
        {"1 :00", -1},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(TargetTimeOfDay(c.text).value_or(-1), c.seconds) << c.text;
    }
    // A bad time counts to midnight, as an absent one does.
    ProgramSettings settings;
    settings.TargetTime = "25:00";
    const DateValue now = At(1999, 12, 30, 15, 20, 45);
    EXPECT_EQ(ComputeCountdown(now, settings).Line, "T-0:1:8:39:15");
    EXPECT_EQ(TargetTimeText(settings), "00:00:00");
    settings.TargetTime = "7:30";
    EXPECT_EQ(TargetTimeText(settings), "07:30:00");
    EXPECT_FALSE(TargetPassed(settings, At(2000, 1, 1, 7, 30, 0)));
    EXPECT_TRUE(TargetPassed(settings, At(2000, 1, 1, 7, 30, 1)));
}

TEST(SteadyClockNowTest, MovesNowByTheHourTheClocksChange)
{
    {
        ScopedZone zone("Europe/Berlin");
        EXPECT_EQ(SteadyClockNow(At(2027, 3, 27, 12, 0, 30), At(2027, 3, 29)).serial,
                  At(2027, 3, 27, 13, 0, 30).serial);
        EXPECT_EQ(SteadyClockNow(At(2027, 10, 30, 12, 0, 30), At(2027, 11, 1)).serial,
                  At(2027, 10, 30, 11, 0, 30).serial);
        EXPECT_EQ(SteadyClockNow(At(2027, 1, 5, 9), At(2027, 2, 1)).serial, At(2027, 1, 5, 9).serial);
    }
    ::tzset();
}

TEST(SteadyClockNowTest, ASkippedMidnightHasNotPassedAtTheFirstMomentOfTheDay)
{
    ProgramSettings settings;
    settings.TargetYear = "2027";
    settings.TargetMonth = "9";
    settings.TargetDay = "5";
    {
        ScopedZone zone("America/Santiago"); // 5 September 2027 begins at 01:00
        EXPECT_FALSE(TargetPassed(settings, At(2027, 9, 5, 1, 0, 0)));
        EXPECT_TRUE(TargetPassed(settings, At(2027, 9, 5, 1, 0, 1)));
    }
    ::tzset();
}

} // namespace
} // namespace kestrel
