// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateArithmetic.h"

#include "DateCalendar.h"
#include "DateText.h"
#include "RuntimeError.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

namespace kestrel {

namespace {

using namespace std::chrono;

constexpr long long kSecondsPerDay = 86400;
// 1899-12-30, the day of date value 0, in days since 1970-01-01.
constexpr long long kDayZero = -25569;
// The days of 0100-01-01 and 9999-12-31: the range of a date.
constexpr long long kFirstDay = -657434;
constexpr long long kLastDay = 2958465;

long long FloorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

long long FloorMod(long long a, long long b)
{
    return a - FloorDiv(a, b) * b;
}

// Whether a count lies outside -limit..limit (without negating it, which fails for the smallest).
bool Beyond(long long value, long long limit)
{
    return value > limit || value < -limit;
}

[[noreturn]] void InvalidCall()
{
    throw RuntimeError(RuntimeError::InvalidProcedureCall);
}

DateValue FromSeconds(long long seconds)
{
    const long long day = FloorDiv(seconds, kSecondsPerDay);
    const double fraction = static_cast<double>(seconds - day * kSecondsPerDay) / kSecondsPerDay;
    if (day < kFirstDay || day > kLastDay) {
        InvalidCall();
    }
    return DateValue{day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction};
}

} // namespace

namespace calendar {

using namespace std::chrono;

// Seconds since 1899-12-30 00:00, the date value rounded to the nearest second.
long long ToSeconds(DateValue value)
{
    const double serial = value.serial;
    if (!std::isfinite(serial) || serial < kFirstDay - 2.0 || serial > kLastDay + 2.0) {
        InvalidCall();
    }
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    return static_cast<long long>(whole) * kSecondsPerDay + std::llround(fraction * kSecondsPerDay);
}

long long DayIndex(long long seconds)
{
    return FloorDiv(seconds, kSecondsPerDay);
}

long long DayIndexOf(int year, unsigned month, unsigned day)
{
    return sys_days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}}
               .time_since_epoch()
               .count() -
           kDayZero;
}

// 1 (Sunday) to 7 (Saturday); day 0, 1899-12-30, was a Saturday.
int WeekdayOfIndex(long long dayIndex)
{
    return static_cast<int>(FloorMod(dayIndex + 6, 7)) + 1;
}

unsigned DaysInMonth(int year, unsigned month)
{
    return static_cast<unsigned>((std::chrono::year{year} / std::chrono::month{month} / last).day());
}

int WindowYear(long long year)
{
    if (year >= 0 && year < 30) {
        return static_cast<int>(year) + 2000;
    }
    if (year >= 30 && year < 100) {
        return static_cast<int>(year) + 1900;
    }
    return static_cast<int>(year);
}

} // namespace calendar

namespace {

using namespace calendar;
using namespace text;

year_month_day CalendarDay(long long dayIndex)
{
    return year_month_day{sys_days{days{dayIndex + kDayZero}}};
}

// The day index of a year, month and day with carry; error 5 outside the years 100 to 9999.
long long CarryDate(long long year, long long month, long long day)
{
    constexpr long long kLimit = 1'000'000'000LL;
    if (Beyond(year, kLimit) || Beyond(month, kLimit) || Beyond(day, kLimit)) {
        InvalidCall();
    }
    const long long months = WindowYear(year) * 12LL + (month - 1);
    const long long carriedYear = FloorDiv(months, 12);
    if (carriedYear < 0 || carriedYear > 10000) {
        InvalidCall();
    }
    const auto carriedMonth = static_cast<unsigned>(FloorMod(months, 12) + 1);
    const long long index = DayIndexOf(static_cast<int>(carriedYear), carriedMonth, 1) + (day - 1);
    const int resultYear = static_cast<int>(CalendarDay(index).year());
    if (resultYear < 100 || resultYear > 9999) {
        InvalidCall();
    }
    return index;
}

DateValue AddMonths(DateValue date, long long months)
{
    const long long seconds = ToSeconds(date);
    const long long dayIndex = DayIndex(seconds);
    const long long timeOfDay = seconds - dayIndex * kSecondsPerDay;
    const year_month_day ymd = CalendarDay(dayIndex);
    if (Beyond(months, 200'000)) {
        InvalidCall();
    }
    const long long total = static_cast<int>(ymd.year()) * 12LL + (static_cast<unsigned>(ymd.month()) - 1) + months;
    const long long year = FloorDiv(total, 12);
    if (year < 100 || year > 9999) {
        InvalidCall();
    }
    const auto month = static_cast<unsigned>(FloorMod(total, 12) + 1);
    const unsigned day = std::min(static_cast<unsigned>(ymd.day()), DaysInMonth(static_cast<int>(year), month));
    return FromSeconds(DayIndexOf(static_cast<int>(year), month, day) * kSecondsPerDay + timeOfDay);
}

DateValue AddSeconds(DateValue date, long long n, long long unit)
{
    constexpr long long kLimit = 400'000'000'000LL; // beyond the years 100 to 9999 in seconds
    if (Beyond(n, kLimit / unit)) {
        InvalidCall();
    }
    return FromSeconds(ToSeconds(date) + n * unit);
}

} // namespace

DateValue SystemClock::now() const
{
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return PackDateTime(local.tm_year + 1900LL, local.tm_mon + 1LL, local.tm_mday, local.tm_hour, local.tm_min,
                        std::min(local.tm_sec, 59));
}

DateValue GetPresentDate(const Clock& clock)
{
    return FromSeconds(ToSeconds(clock.now()));
}

DateValue PackDate(long long year, long long month, long long day)
{
    return FromSeconds(CarryDate(year, month, day) * kSecondsPerDay);
}

DateValue PackDateTime(long long year, long long month, long long day, long long hour, long long minute,
                       long long second)
{
    constexpr long long kLimit = 1'000'000'000LL;
    if (Beyond(hour, kLimit) || Beyond(minute, kLimit) || Beyond(second, kLimit)) {
        InvalidCall();
    }
    return FromSeconds(CarryDate(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

DateParts SplitDate(DateValue value)
{
    const long long seconds = ToSeconds(value);
    const long long dayIndex = DayIndex(seconds);
    const long long timeOfDay = seconds - dayIndex * kSecondsPerDay;
    const year_month_day ymd = CalendarDay(dayIndex);
    return DateParts{static_cast<int>(ymd.year()),
                     static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day())),
                     static_cast<int>(timeOfDay / 3600),
                     static_cast<int>(timeOfDay / 60 % 60),
                     static_cast<int>(timeOfDay % 60)};
}

int Year(DateValue value)
{
    return SplitDate(value).year;
}

int Month(DateValue value)
{
    return SplitDate(value).month;
}

int Day(DateValue value)
{
    return SplitDate(value).day;
}

int Hour(DateValue value)
{
    return SplitDate(value).hour;
}

int Minute(DateValue value)
{
    return SplitDate(value).minute;
}

int Second(DateValue value)
{
    return SplitDate(value).second;
}

int Weekday(DateValue value)
{
    return WeekdayOfIndex(DayIndex(ToSeconds(value)));
}

DateValue DateAdd(std::string_view interval, long long n, DateValue date)
{
    const auto is = [interval](std::string_view code) { return EqualNoCase(interval, code); };
    if (is("yyyy")) {
        return AddMonths(date, Beyond(n, 20'000) ? (InvalidCall(), 0) : n * 12);
    }
    if (is("q")) {
        return AddMonths(date, Beyond(n, 80'000) ? (InvalidCall(), 0) : n * 3);
    }
    if (is("m")) {
        return AddMonths(date, n);
    }
    if (is("d") || is("y") || is("w")) {
        return AddSeconds(date, n, kSecondsPerDay);
    }
    if (is("ww")) {
        return AddSeconds(date, n, 7 * kSecondsPerDay);
    }
    if (is("h")) {
        return AddSeconds(date, n, 3600);
    }
    if (is("n")) {
        return AddSeconds(date, n, 60);
    }
    if (is("s")) {
        return AddSeconds(date, n, 1);
    }
    InvalidCall();
}

long long DateDiff(std::string_view interval, DateValue from, DateValue to)
{
    const auto is = [interval](std::string_view code) { return EqualNoCase(interval, code); };
    const long long a = ToSeconds(from);
    const long long b = ToSeconds(to);
    if (is("s")) {
        return b - a;
    }
    if (is("n")) {
        return FloorDiv(b, 60) - FloorDiv(a, 60);
    }
    if (is("h")) {
        return FloorDiv(b, 3600) - FloorDiv(a, 3600);
    }
    const long long dayA = DayIndex(a);
    const long long dayB = DayIndex(b);
    if (is("d") || is("y")) {
        return dayB - dayA;
    }
    if (is("w")) {
        return (dayB - dayA) / 7;
    }
    if (is("ww")) {
        const long long weekA = dayA - (WeekdayOfIndex(dayA) - 1);
        const long long weekB = dayB - (WeekdayOfIndex(dayB) - 1);
        return (weekB - weekA) / 7;
    }
    const year_month_day ymdA = CalendarDay(dayA);
    const year_month_day ymdB = CalendarDay(dayB);
    const long long yearA = static_cast<int>(ymdA.year());
    const long long yearB = static_cast<int>(ymdB.year());
    const long long monthA = static_cast<unsigned>(ymdA.month());
    const long long monthB = static_cast<unsigned>(ymdB.month());
    if (is("yyyy")) {
        return yearB - yearA;
    }
    if (is("q")) {
        return (4 * yearB + (monthB - 1) / 3) - (4 * yearA + (monthA - 1) / 3);
    }
    if (is("m")) {
        return (12 * yearB + monthB) - (12 * yearA + monthA);
    }
    InvalidCall();
}

} // namespace kestrel
