// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateAt.h"
#include "DateServices.h"
#include "RuntimeError.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestrel {
namespace {

using test::At;

int ErrorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(DateValueTest, CountsDaysSinceTheLastDaysOf1899)
{
    EXPECT_EQ(PackDate(1899, 12, 30).serial, 0.0);
    EXPECT_EQ(PackDate(2000, 1, 1).serial, 36526.0);
    EXPECT_DOUBLE_EQ(At(1999, 12, 30, 15, 20, 45).serial, 36524.0 + (15 * 3600 + 20 * 60 + 45) / 86400.0);
    // Before day 0 the whole part counts back while the fraction counts into the day.
    EXPECT_DOUBLE_EQ(At(1899, 12, 29, 6).serial, -1.25);
    const DateParts parts = SplitDate(DateValue{-1.25});
    EXPECT_EQ(parts.year, 1899);
    EXPECT_EQ(parts.day, 29);
    EXPECT_EQ(parts.hour, 6);
}

TEST(DateValueTest, SplitRoundsToTheNearestSecond)
{
    const DateValue almostMidnight{36525.0 - 1e-9};
    const DateParts parts = SplitDate(almostMidnight);
    EXPECT_EQ(parts.day, 31);
    EXPECT_EQ(parts.month, 12);
    EXPECT_EQ(parts.hour, 0);
    EXPECT_EQ(Second(At(2000, 1, 1, 0, 0, 59)), 59);
}

TEST(DateValueTest, WeekdayCountsFromSunday)
{
    EXPECT_EQ(Weekday(PackDate(1999, 12, 30)), 5); // Thursday
    EXPECT_EQ(Weekday(PackDate(2000, 1, 2)), 1);   // Sunday
    EXPECT_EQ(Weekday(PackDate(2000, 1, 1)), 7);   // Saturday
    EXPECT_EQ(Weekday(PackDate(1899, 12, 30)), 7);
    EXPECT_EQ(Weekday(PackDate(1800, 1, 1)), 4); // Wednesday
}

TEST(DateValueTest, PresentDateComesFromTheClockToTheSecond)
{
    FixedClock clock(DateValue{At(2026, 12, 7, 9, 30, 15).serial + 0.4 / 86400.0});
    EXPECT_EQ(GetPresentDate(clock), At(2026, 12, 7, 9, 30, 15));
    const DateParts now = SplitDate(GetPresentDate(SystemClock()));
    EXPECT_GE(now.year, 2024);
}

struct PackCase
{
    long long year, month, day;
    int wantYear, wantMonth, wantDay;
};

class PackDateCarry : public ::testing::TestWithParam<PackCase>
{};

TEST_P(PackDateCarry, CarriesMonthsAndDaysInBothDirections)
{
    const PackCase& c = GetParam();
    const DateParts parts = SplitDate(PackDate(c.year, c.month, c.day));
    EXPECT_EQ(parts.year, c.wantYear);
    EXPECT_EQ(parts.month, c.wantMonth);
    EXPECT_EQ(parts.day, c.wantDay);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Dates, PackDateCarry,
    ::testing::Values(
        PackCase{2000, 13, 1, 2001, 1, 1},
        PackCase{2000, 0, 1, 1999, 12, 1},
        PackCase{2000, -11, 1, 1999, 1, 1},
        PackCase{2000, 3, 0, 2000, 2, 29},
        PackCase{2001, 3, 0, 2001, 2, 28},
        PackCase{2000, 1, 32, 2000, 2, 1},
        PackCase{2000, 1, -30, 1999, 12, 1},
        PackCase{2000, 2, 30, 2000, 3, 1},
        PackCase{1999, 25, 1, 2001, 1, 1},
        PackCase{2000, 1, 366, 2000, 12, 31},
        PackCase{0, 1, 1, 2000, 1, 1},
        PackCase{29, 6, 1, 2029, 6, 1},
        PackCase{30, 6, 1, 1930, 6, 1},
        PackCase{99, 13, 1, 2000, 1, 1},
        PackCase{100, 1, 1, 100, 1, 1},
        PackCase{9999, 12, 31, 9999, 12, 31}));
// clang-format on

TEST(PackDateTest, YearsOutsideTheRangeAreAnInvalidCall)
{
    EXPECT_EQ(ErrorNumberOf([] { PackDate(10000, 1, 1); }), RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { PackDate(9999, 12, 32); }), RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { PackDate(-5, 1, 1); }), RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { PackDate(std::numeric_limits<long long>::max(), 1, 1); }),
              RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { PackDate(2000, std::numeric_limits<long long>::min(), 1); }),
              RuntimeError::InvalidProcedureCall);
}

struct AddCase
{
    const char* interval;
    long long n;
    DateValue from;
    DateValue want;
};

class DateAddTable : public ::testing::TestWithParam<AddCase>
{};

TEST_P(DateAddTable, AddsIntervals)
{
    const AddCase& c = GetParam();
    EXPECT_EQ(DateAdd(c.interval, c.n, c.from), c.want) << c.interval << " " << c.n;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Intervals, DateAddTable,
    ::testing::Values(
        AddCase{"m", 1, At(2000, 1, 31), At(2000, 2, 29)},
        AddCase{"m", 1, At(2001, 1, 31), At(2001, 2, 28)},
        AddCase{"m", -1, At(2000, 3, 31), At(2000, 2, 29)},
        AddCase{"M", 13, At(1999, 12, 15, 8), At(2001, 1, 15, 8)},
        AddCase{"yyyy", 1, At(2000, 2, 29), At(2001, 2, 28)},
        AddCase{"yyyy", 2, At(1999, 12, 30, 15, 20, 45), At(2001, 12, 30, 15, 20, 45)},
        AddCase{"yyyy", -4, At(2004, 2, 29), At(2000, 2, 29)},
        AddCase{"q", 1, At(2000, 11, 30), At(2001, 2, 28)},
        AddCase{"d", 1, At(1999, 12, 31, 23), At(2000, 1, 1, 23)},
        AddCase{"d", -366, At(2000, 12, 31), At(1999, 12, 31)},
        AddCase{"ww", 2, At(2000, 1, 1), At(2000, 1, 15)},
        AddCase{"h", 25, At(2000, 1, 1), At(2000, 1, 2, 1)},
        AddCase{"n", -1, At(2000, 1, 1), At(1999, 12, 31, 23, 59)},
        AddCase{"s", 86400 * 2 + 1, At(2000, 1, 1), At(2000, 1, 3, 0, 0, 1)}));
// clang-format on

TEST(DateAddTest, UnknownIntervalsAndResultsOutOfRangeAreInvalidCalls)
{
    EXPECT_EQ(ErrorNumberOf([] { DateAdd("x", 1, At(2000, 1, 1)); }), RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { DateAdd("yyyy", 9000, At(2000, 1, 1)); }), RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { DateAdd("s", std::numeric_limits<long long>::max(), At(2000, 1, 1)); }),
              RuntimeError::InvalidProcedureCall);
    EXPECT_EQ(ErrorNumberOf([] { DateAdd("m", std::numeric_limits<long long>::min(), At(2000, 1, 1)); }),
              RuntimeError::InvalidProcedureCall);
}

struct DiffCase
{
    const char* interval;
    DateValue from;
    DateValue to;
    long long want;
};

class DateDiffTable : public ::testing::TestWithParam<DiffCase>
{};

TEST_P(DateDiffTable, CountsBoundariesCrossed)
{
    const DiffCase& c = GetParam();
    EXPECT_EQ(DateDiff(c.interval, c.from, c.to), c.want) << c.interval;
    // The other way round the count changes sign.
    EXPECT_EQ(DateDiff(c.interval, c.to, c.from), -c.want) << c.interval;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Intervals, DateDiffTable,
    ::testing::Values(
        DiffCase{"yyyy", At(1999, 12, 31), At(2000, 1, 1), 1},
        DiffCase{"yyyy", At(2000, 1, 1), At(2000, 12, 31), 0},
        DiffCase{"q", At(2000, 3, 31), At(2000, 4, 1), 1},
        DiffCase{"q", At(1999, 11, 1), At(2001, 2, 1), 5},
        DiffCase{"m", At(2000, 1, 31), At(2000, 2, 1), 1},
        DiffCase{"m", At(1999, 12, 1), At(2001, 1, 31), 13},
        DiffCase{"d", At(1999, 12, 30, 15, 20, 45), At(2000, 1, 1), 2},
        DiffCase{"d", At(2000, 1, 1, 23, 59, 59), At(2000, 1, 2), 1},
        DiffCase{"y", At(2000, 1, 1), At(2001, 1, 1), 366},
        DiffCase{"d", At(1899, 12, 29, 18), At(1899, 12, 30, 1), 1},
        // "ww": Sundays after the start up to and including the end.
        DiffCase{"ww", At(2000, 1, 1), At(2000, 1, 2), 1},
        DiffCase{"ww", At(2000, 1, 2), At(2000, 1, 8), 0},
        DiffCase{"ww", At(1999, 12, 24, 10), At(2000, 1, 1), 1},
        DiffCase{"ww", At(2000, 1, 2), At(2000, 1, 9), 1},
        DiffCase{"w", At(2000, 1, 1), At(2000, 1, 14), 1},
        DiffCase{"w", At(2000, 1, 1), At(2000, 1, 15), 2},
        DiffCase{"h", At(2000, 1, 1, 10, 59), At(2000, 1, 1, 11, 0), 1},
        DiffCase{"h", At(2000, 1, 1, 10, 0), At(2000, 1, 1, 10, 59, 59), 0},
        DiffCase{"n", At(2000, 1, 1, 10, 0, 59), At(2000, 1, 1, 10, 1, 0), 1},
        DiffCase{"s", At(2000, 1, 1), At(2000, 1, 2), 86400},
        // A span of centuries in seconds is exact in 64 bits.
        DiffCase{"s", At(100, 1, 1), At(9999, 12, 31, 23, 59, 59), 312413759999LL},
        DiffCase{"n", At(100, 1, 1), At(9999, 12, 31, 23, 59, 59), 5206895999LL}));
// clang-format on

TEST(DateDiffTest, UnknownIntervalIsAnInvalidCall)
{
    EXPECT_EQ(ErrorNumberOf([] { DateDiff("days", At(2000, 1, 1), At(2000, 1, 2)); }),
              RuntimeError::InvalidProcedureCall);
}

struct ReadCase
{
    const char* text;
    int year, month, day; // 0: not a date
};

class ReadDateTable : public ::testing::TestWithParam<ReadCase>
{};

TEST_P(ReadDateTable, ReadsTheListedFormsAndRejectsImpossibleDays)
{
    const ReadCase& c = GetParam();
    constexpr int kCurrentYear = 2027;
    EXPECT_EQ(IsDate(c.text, kCurrentYear), c.year != 0) << c.text;
    if (c.year != 0) {
        const DateParts parts = SplitDate(GetDateValue(c.text, kCurrentYear));
        EXPECT_EQ(parts.year, c.year) << c.text;
        EXPECT_EQ(parts.month, c.month) << c.text;
        EXPECT_EQ(parts.day, c.day) << c.text;
    } else {
        EXPECT_EQ(ErrorNumberOf([&] { GetDateValue(c.text, kCurrentYear); }), RuntimeError::TypeMismatch) << c.text;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Texts, ReadDateTable,
    ::testing::Values(
        ReadCase{"Jan 1, 2000", 2000, 1, 1},
        ReadCase{"Jan 01, 2000", 2000, 1, 1},
        ReadCase{"Dec 6, 2026", 2026, 12, 6},
        ReadCase{"March 15,2028", 2028, 3, 15},
        ReadCase{"Mar 15,2028", 2028, 3, 15},
        ReadCase{"15 Mar,2028", 2028, 3, 15},
        ReadCase{"15 Mar 2028", 2028, 3, 15},
        ReadCase{"mAR 15, 2028", 2028, 3, 15},
        ReadCase{"SEPTEMBER 15, 2000", 2000, 9, 15},
        ReadCase{"Sept. 15, 2000", 2000, 9, 15},
        ReadCase{"Mar 15", 2027, 3, 15},
        ReadCase{"15 mar", 2027, 3, 15},
        ReadCase{"Dec 06", 2027, 12, 6},
        ReadCase{"Thursday, Dec 30, 1999", 1999, 12, 30},
        ReadCase{"Mar 2028", 2028, 3, 1},
        ReadCase{"Mar 15, 28", 2028, 3, 15},
        ReadCase{"Mar 15, 99", 1999, 3, 15},
        ReadCase{"  Feb 29, 2000  ", 2000, 2, 29},
        ReadCase{"1/5/2000", 2000, 1, 5},
        ReadCase{"12-31-1999", 1999, 12, 31},
        ReadCase{"2000-02-29", 2000, 2, 29},
        ReadCase{"Jan 1, 2000 00:00:00", 2000, 1, 1},
        ReadCase{"Jan 1, 2000 3:15 PM", 2000, 1, 1},
        // Not dates.
        ReadCase{"Feb 30,2028", 0, 0, 0},
        ReadCase{"Feb 29, 2027", 0, 0, 0},
        ReadCase{"Feb 29", 0, 0, 0},
        ReadCase{"Apr 31, 2000", 0, 0, 0},
        ReadCase{"Mar 0, 2000", 0, 0, 0},
        ReadCase{"", 0, 0, 0},
        ReadCase{"Mar", 0, 0, 0},
        ReadCase{"Marc 15, 2000", 0, 0, 0},
        ReadCase{"Jan Feb 1", 0, 0, 0},
        ReadCase{"13/1/2000", 0, 0, 0},
        ReadCase{"1/5-2000", 0, 0, 0},
        ReadCase{"hello", 0, 0, 0},
        ReadCase{"Jan 1, 10000", 0, 0, 0},
        ReadCase{"Jan 1, 2000 25:00", 0, 0, 0},
        ReadCase{"Jan 1, 2000 13:00 PM", 0, 0, 0},
        ReadCase{"Jan 1; 2000", 0, 0, 0},
        ReadCase{"2000", 0, 0, 0},
        ReadCase{"Mar 15,2028,1", 0, 0, 0}));
// clang-format on

TEST(GetDateValueTest, KeepsTheTimeOfDay)
{
    EXPECT_EQ(GetDateValue("Jan 1, 2000 3:15:20 PM", 1999), At(2000, 1, 1, 15, 15, 20));
    EXPECT_EQ(GetDateValue("Jan 1, 2000, 12:00 am", 1999), At(2000, 1, 1));
    // The first day of the range with a time of day lies below its whole day value.
    EXPECT_EQ(Format(GetDateValue("Jan 1, 100 3:15:02", 1999), "yyyy-mm-dd hh:nn:ss"), "100-01-01 03:15:02");
}

struct ValCase
{
    const char* text;
    double want;
};

class ValFromTextTable : public ::testing::TestWithParam<ValCase>
{};

TEST_P(ValFromTextTable, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(ValFromText(GetParam().text), GetParam().want) << GetParam().text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Texts, ValFromTextTable,
    ::testing::Values(
        ValCase{"2000", 2000},
        ValCase{"  12", 12},
        ValCase{"1 2 3", 123},
        ValCase{"-7x", -7},
        ValCase{"3.5", 3.5},
        ValCase{"2.5e2", 250},
        ValCase{"abc", 0},
        ValCase{"", 0},
        ValCase{"12abc34", 12},
        ValCase{"&HFF", 255},
        ValCase{"&o17", 15},
        ValCase{"1e", 1},
        ValCase{".5", 0.5},
        ValCase{"+4", 4},
        ValCase{"1,234", 1}));
// clang-format on

struct FormatCase
{
    DateValue value;
    const char* pattern;
    const char* want;
};

class FormatDateTable : public ::testing::TestWithParam<FormatCase>
{};

TEST_P(FormatDateTable, FormatsDateTokens)
{
    EXPECT_EQ(Format(GetParam().value, GetParam().pattern), GetParam().want) << GetParam().pattern;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatDateTable,
    ::testing::Values(
        FormatCase{At(2000, 1, 5), "yyyymd", "200015"},
        FormatCase{At(1999, 12, 30, 15, 20, 45), "mmm d, yyyy h:mm:ss", "Dec 30, 1999 15:20:45"},
        FormatCase{At(2028, 3, 15), "MMM DD", "Mar 15"},
        FormatCase{At(2026, 12, 6), "mmm dd", "Dec 06"},
        FormatCase{At(2026, 12, 6), "mmm d, yyyy", "Dec 6, 2026"},
        FormatCase{At(2000, 1, 1), "dddd, mmmm dd, yy", "Saturday, January 01, 00"},
        FormatCase{At(2000, 1, 1), "ddd mm/dd", "Sat 01/01"},
        FormatCase{At(2000, 2, 9), "ddddd", "2/9/2000"},
        FormatCase{At(2000, 2, 9), "dddddd", "Wednesday, February 9, 2000"},
        FormatCase{At(2000, 2, 9, 7, 5, 3), "hh:nn:ss", "07:05:03"},
        FormatCase{At(2000, 2, 9, 7, 5, 3), "h:m:s", "7:5:3"},
        FormatCase{At(2000, 2, 9, 7, 5, 3), "mm:ss", "05:03"},
        FormatCase{At(2000, 2, 9, 0, 5), "h:mm AM/PM", "12:05 AM"},
        FormatCase{At(2000, 2, 9, 13, 5), "h:mm am/pm", "1:05 pm"},
        FormatCase{At(2000, 2, 9, 13, 5), "hh a/p", "01 p"},
        FormatCase{At(2000, 12, 31), "y", "366"},
        FormatCase{At(2000, 8, 1), "q", "3"},
        FormatCase{At(2000, 1, 2), "w ww", "1 2"},
        FormatCase{At(2000, 1, 1), "\"day\" d \\d", "day 1 d"},
        FormatCase{At(2000, 1, 1), "[yyyy]-", "[2000]-"}));
// clang-format on

struct NumberCase
{
    double value;
    const char* pattern;
    const char* want;
};

class FormatNumberTable : public ::testing::TestWithParam<NumberCase>
{};

TEST_P(FormatNumberTable, FormatsNumberPatterns)
{
    EXPECT_EQ(Format(GetParam().value, GetParam().pattern), GetParam().want) << GetParam().pattern;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumberTable,
    ::testing::Values(
        NumberCase{1234567, "###,###,##0", "1,234,567"},
        NumberCase{0, "###,###,##0", "0"},
        NumberCase{-5, "###,###,##0", "-5"},
        NumberCase{-1234, "###,###,##0", "-1,234"},
        NumberCase{0, "######", ""},
        NumberCase{42, "######", "42"},
        NumberCase{7, "000", "007"},
        NumberCase{1234.5, "#,##0.00", "1,234.50"},
        NumberCase{3.14159, "0.##", "3.14"},
        NumberCase{3.1, "0.##", "3.1"},
        NumberCase{3, "0.##", "3."},
        NumberCase{0.5, "0%", "50%"},
        NumberCase{2.5, "0", "3"},
        NumberCase{123456789, "0", "123456789"},
        NumberCase{5, "\"Day \"0", "Day 5"},
        NumberCase{-3, "0;(0)", "(3)"},
        NumberCase{0, "0;(0);\"none\"", "none"},
        NumberCase{1.5, "", "1.5"},
        NumberCase{-0.001, "0", "0"},
        // More decimal places than a double holds show zeros.
        NumberCase{1.5, "0.0000000000000000000000000000000000000000", "1.5000000000000000000000000000000000000000"}));
// clang-format on

// Reading numbers and reading dates skip the same blanks: blanks, tabs, carriage returns and
// line feeds, and nothing else.
struct BlankCase
{
    const char* name;
    char character;
    bool skipped;
};

class BlankRule : public ::testing::TestWithParam<BlankCase>
{};

TEST_P(BlankRule, IsTheSameForNumbersAndDates)
{
    const std::string b(1, GetParam().character);
    EXPECT_EQ(ValFromText(b + "1" + b + "2"), GetParam().skipped ? 12.0 : 0.0);
    EXPECT_EQ(IsDate(b + "Mar" + b + "15," + b + "2028" + b, 2026), GetParam().skipped);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Characters, BlankRule,
    ::testing::Values(
        BlankCase{"Blank", ' ', true},
        BlankCase{"Tab", '\t', true},
        BlankCase{"CarriageReturn", '\r', true},
        BlankCase{"LineFeed", '\n', true},
        BlankCase{"VerticalTab", '\v', false},
        BlankCase{"FormFeed", '\f', false}),
    [](const ::testing::TestParamInfo<BlankCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(NamesTest, MonthAndWeekdayNamesAreEnglish)
{
    EXPECT_EQ(MonthName(1, true), "Jan");
    EXPECT_EQ(MonthName(12, false), "December");
    EXPECT_EQ(MonthName(13, true), "");
    EXPECT_EQ(WeekdayName(1, false), "Sunday");
    EXPECT_EQ(WeekdayName(0, true), "");
}

} // namespace
} // namespace kestrel
