// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Date values, the clock, and date arithmetic: packing, splitting, adding and differences.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// A date value: days since 1899-12-30 00:00 with the time of day as the fraction. Before that
// day the whole part counts back and the fraction still counts forward into the day
// (-1.25 is 1899-12-29 06:00).
struct DateValue
{
    double serial = 0.0;

    friend bool operator==(const DateValue&, const DateValue&) = default;
};

// The source of "now" for the whole program. The program reads the local clock; tests fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    // The local date and time, to the second.
    virtual DateValue now() const = 0;
};

// The local wall clock.
class SystemClock final : public Clock
{
public:
    DateValue now() const override;
};

// A clock that shows the time it was last set to.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(DateValue value) : m_value(value) {}
    void set(DateValue value) { m_value = value; }
    DateValue now() const override { return m_value; }

private:
    DateValue m_value;
};

// The present local date and time, to the second.
DateValue GetPresentDate(const Clock& clock);

// Midnight of the given day. Months and days out of range carry into the neighbouring years and
// months in both directions (month 13 is January of the next year, day 0 the last day of the
// previous month); years 0 to 99 mean 2000 to 2029 and 1930 to 1999. A result outside the years
// 100 to 9999 raises error 5.
DateValue PackDate(long long year, long long month, long long day);
// A date with a time of day; hours, minutes and seconds carry like the date parts.
DateValue PackDateTime(long long year, long long month, long long day, long long hour, long long minute,
                       long long second);

// The parts of a date value, rounded to the nearest second.
struct DateParts
{
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
DateParts SplitDate(DateValue value);
int Year(DateValue value);
int Month(DateValue value);
int Day(DateValue value);
int Hour(DateValue value);
int Minute(DateValue value);
int Second(DateValue value);
// 1 (Sunday) to 7 (Saturday).
int Weekday(DateValue value);

// Adds n intervals: "yyyy" years, "q" quarters, "m" months (these three keep the day, clamped to
// the end of the resulting month), "y", "d" and "w" days, "ww" weeks, "h" hours, "n" minutes,
// "s" seconds. An unknown interval or a result outside the years 100 to 9999 raises error 5.
DateValue DateAdd(std::string_view interval, long long n, DateValue date);

// The number of interval boundaries crossed from `from` to `to`, negative when `to` is earlier:
// "yyyy" years, "q" quarters, "m" months, "y" and "d" midnights, "w" whole weeks, "ww" Sundays
// after `from` up to and including `to`, "h" hours, "n" minutes, "s" seconds (64-bit, so a span
// of centuries in seconds is exact). An unknown interval raises error 5.
long long DateDiff(std::string_view interval, DateValue from, DateValue to);

} // namespace kestrel
