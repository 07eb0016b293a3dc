// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateCalculation.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestrel::test {
namespace {

struct IntervalCase
{
    const char* interval;
    DateValue from;
    DateValue to;
    const char* answer;
};

// Monday 3 January 2000 and the days around it.
const DateValue kMonday = PackDate(2000, 1, 3);
const DateValue kFriday = PackDate(2000, 1, 7);
const DateValue kSaturday = PackDate(2000, 1, 8);
const DateValue kSunday = PackDate(2000, 1, 9);
const DateValue kNextMonday = PackDate(2000, 1, 10);

const IntervalCase kIntervalCases[] = {
    // One week from a Monday in every unit of the list.
    {"Days", kMonday, kNextMonday, "7 Days"},
    {"WorkDays", kMonday, kNextMonday, "5 WorkDays"},
    {"Weeks", kMonday, kNextMonday, "1 Weeks"},
    {"Quarters", kMonday, kNextMonday, "0 Quarters"},
    {"Months", kMonday, kNextMonday, "0 Months"},
    {"Years", kMonday, kNextMonday, "0"},
    {"Hours", kMonday, kNextMonday, "168 Hours"},
    {"Minutes", kMonday, kNextMonday, "10,080 Minutes"},
    {"Seconds", kMonday, kNextMonday, "604,800 Seconds"},
    // Work days: only the Sundays crossed take a weekend off, the end days are not tested.
    {"WorkDays", kFriday, kNextMonday, "1 WorkDays"},
    {"WorkDays", kSaturday, kSunday, "-1 WorkDays"},
    {"WorkDays", kSunday, PackDate(2000, 1, 15), "6 WorkDays"},
    {"WorkDays", kNextMonday, kMonday, "-5 WorkDays"},
    // Years are whole twelves of calendar months crossed, without grouping or unit.
    {"Years", PackDate(1999, 12, 31), PackDate(2000, 1, 1), "0"},
    {"Years", PackDate(2000, 1, 15), PackDate(2001, 1, 14), "1"},
    {"Years", PackDate(2000, 1, 1), PackDate(2003, 6, 30), "3"},
    {"Years", PackDate(2001, 2, 1), PackDate(2000, 1, 1), "-1"},
    {"Years", PackDate(2000, 1, 1), PackDate(1000, 1, 1), "-1000"},
    // Calendar boundaries crossed, grouped by thousands, negative when To is earlier.
    {"Days", PackDate(2000, 1, 1), PackDate(2003, 1, 1), "1,096 Days"},
    {"Days", kNextMonday, kMonday, "-7 Days"},
    {"Days", kMonday, kMonday, "0 Days"},
    {"Weeks", kSaturday, kSunday, "1 Weeks"},
    {"Weeks", kNextMonday, kMonday, "-1 Weeks"},
    {"Quarters", PackDate(2000, 3, 31), PackDate(2000, 4, 1), "1 Quarters"},
    {"Months", PackDate(2000, 4, 1), PackDate(2000, 1, 1), "-3 Months"},
    {"Months", PackDate(2000, 1, 31), PackDate(2000, 2, 1), "1 Months"},
    {"Hours", kMonday, PackDate(2000, 1, 4), "24 Hours"},
    {"Minutes", kMonday, PackDate(2000, 1, 4), "1,440 Minutes"},
    {"Seconds", kMonday, PackDate(2000, 1, 4), "86,400 Seconds"},
    // Counts beyond 16 and 32 bits are exact: 73,049 days lie between 1900 and 2100, of which
    // 10,435 weekends.
    {"Seconds", PackDate(1900, 1, 1), PackDate(2100, 1, 1), "6,311,433,600 Seconds"},
    {"Seconds", PackDate(2100, 1, 1), PackDate(1900, 1, 1), "-6,311,433,600 Seconds"},
    {"Seconds", PackDate(100, 1, 1), PackDate(9999, 12, 31), "312,413,673,600 Seconds"},
    {"WorkDays", PackDate(1900, 1, 1), PackDate(2100, 1, 1), "52,179 WorkDays"},
    // The last day a date can hold counts like any other, in every unit and both directions.
    {"Days", PackDate(9999, 12, 30), PackDate(9999, 12, 31), "1 Days"},
    {"WorkDays", PackDate(9999, 12, 24), PackDate(9999, 12, 31), "5 WorkDays"},
    {"WorkDays", PackDate(9999, 12, 31), PackDate(9999, 12, 24), "-5 WorkDays"},
    {"Weeks", PackDate(9999, 12, 25), PackDate(9999, 12, 31), "1 Weeks"},
    {"Quarters", PackDate(9999, 9, 30), PackDate(9999, 12, 31), "1 Quarters"},
    {"Months", PackDate(9999, 11, 30), PackDate(9999, 12, 31), "1 Months"},
    {"Years", PackDate(9998, 12, 31), PackDate(9999, 12, 31), "1"},
    {"Hours", PackDate(9999, 12, 31), PackDate(9999, 12, 30), "-24 Hours"},
    {"Minutes", PackDate(9999, 12, 30), PackDate(9999, 12, 31), "1,440 Minutes"},
    {"Seconds", PackDate(9999, 12, 31), PackDate(100, 1, 1), "-312,413,673,600 Seconds"},
    {"WorkDays", PackDate(2100, 1, 1), PackDate(1900, 1, 1), "-52,179 WorkDays"},
    {"Days", PackDate(1900, 1, 1), PackDate(2100, 1, 1), "73,049 Days"},
    // A text the list lacks computes nothing: the comparison is exact.
    {"Fortnights", kMonday, kNextMonday, "Choose an interval from the list"},
    {"days", kMonday, kNextMonday, "Choose an interval from the list"},
    {"Days ", kMonday, kNextMonday, "Choose an interval from the list"},
    {"Select an Interval", kMonday, kNextMonday, "Choose an interval from the list"},
    {"", kMonday, kNextMonday, "Choose an interval from the list"},
};

TEST(CalculateInterval, AnswersEachIntervalAsTheAnswerPanelShowsIt)
{
    for (const IntervalCase& c : kIntervalCases) {
        EXPECT_EQ(CalculateInterval(c.interval, c.from, c.to), c.answer)
            << c.interval << " from " << Format(c.from, "yyyy-mm-dd") << " to " << Format(c.to, "yyyy-mm-dd");
    }
}

struct TextCase
{
    const char* interval;
    const char* from;
    const char* to;
    const char* answer;
};

const TextCase kTextCases[] = {
    // The texts the window puts in its boxes: today, the target date text and the Y2K button's.
    {"Days", "Dec 30, 1999", "Jan 1, 2000", "2 Days"},
    {"Days", "Dec 30, 1999", "Jan 01, 2000", "2 Days"},
    {"WorkDays", "Dec 16, 1999", "Jan 1, 2000", "12 WorkDays"},
    {"Hours", "Dec 31, 1999", "Jan 1, 2000", "24 Hours"},
    {"Years", "Feb 29, 1996", "Feb 28, 2000", "4"},
    {"Days", "Dec 30, 9999", "Dec 31, 9999", "1 Days"},
    {"Seconds", "Dec 31, 9999", "Dec 31, 9999", "0 Seconds"},
    {"WorkDays", "Jan 1, 100", "Dec 31, 9999", "2,582,785 WorkDays"},
    // A box that holds no date: the design text, an empty box, a target with a damaged month.
    {"Days", "Click a Date", "Jan 1, 2000", "Pick a From date"},
    {"Days", "", "Jan 1, 2000", "Pick a From date"},
    {"Days", "Dec 30, 1999", " 1, 2000", "Pick a To date"},
    {"Days", "Dec 30, 1999", "Feb 30, 2000", "Pick a To date"},
    // The interval is looked at first.
    {"Fortnights", "Click a Date", "Jan 1, 2000", "Choose an interval from the list"},
};

TEST(CalculateInterval, ReadsTheDateBoxesAndNamesTheOneThatHoldsNoDate)
{
    for (const TextCase& c : kTextCases) {
        EXPECT_EQ(CalculateInterval(c.interval, c.from, c.to, 1999), c.answer)
            << c.interval << " from '" << c.from << "' to '" << c.to << "'";
    }
}

TEST(GroupedCount, GroupsThousandsExactlyOverTheWholeRange)
{
    const std::pair<long long, const char*> cases[] = {
        {0, "0"},
        {7, "7"},
        {-7, "-7"},
        {999, "999"},
        {1000, "1,000"},
        {-1000, "-1,000"},
        {32768, "32,768"},
        {1234567, "1,234,567"},
        {-100000, "-100,000"},
        {9007199254740993LL, "9,007,199,254,740,993"}, // past the doubles' exact whole numbers
        {std::numeric_limits<long long>::max(), "9,223,372,036,854,775,807"},
        {std::numeric_limits<long long>::min(), "-9,223,372,036,854,775,808"},
    };
    for (const auto& [count, text] : cases) {
        EXPECT_EQ(GroupedCount(count), text) << count;
    }
}

TEST(DateBoxes, ShowDatesAndStartThePickerAtTheDateTheBoxHolds)
{
    EXPECT_EQ(DateBoxText(PackDate(2000, 1, 5)), "Jan 5, 2000");
    EXPECT_EQ(DateBoxText(PackDateTime(1999, 12, 30, 15, 20, 45)), "Dec 30, 1999");

    const DateValue now = PackDateTime(1999, 12, 30, 15, 20, 45);
    EXPECT_EQ(PickerStartDate("Mar 15, 2028", now), PackDate(2028, 3, 15));
    EXPECT_EQ(PickerStartDate("Jan 01, 2000", now), PackDate(2000, 1, 1));
    // Not a date: today, at midnight.
    EXPECT_EQ(PickerStartDate("Click a Date", now), PackDate(1999, 12, 30));
    EXPECT_EQ(PickerStartDate("", now), PackDate(1999, 12, 30));
    EXPECT_EQ(PickerStartDate(" 1, 2000", now), PackDate(1999, 12, 30));
}

} // namespace
} // namespace kestrel::test
