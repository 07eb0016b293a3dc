#pragma once

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

// Whether the text reads as a date: a month name (any case, full or three letters) with a day
// and a year in either order ("Mar 15, 2028", "Mar 15,2028", "March 15 2028", "15 Mar,2028"),
// a month and day alone ("Mar 15": that day of currentYear), the numeric forms m/d/yyyy, m-d-yyyy
// and yyyy-m-d, each optionally followed by a time h:mm[:ss] [AM|PM]. Days the month lacks make
// no date.
bool IsDate(std::string_view text, int currentYear);
// The date value of a text that IsDate accepts; error 13 (Type mismatch) for any other text.
DateValue GetDateValue(std::string_view text, int currentYear);

// The number at the start of a text: blanks, tabs and line feeds are skipped anywhere in it,
// then an optional sign, digits, a decimal point and an exponent are read up to the first other
// character; "&H" and "&O" introduce hexadecimal and octal whole numbers. 0 when no number.
double ValFromText(std::string_view text);

// A date formatted by a pattern whose tokens may be in any case: "d", "dd" day; "ddd", "dddd"
// weekday name; "ddddd" short date (m/d/yyyy); "dddddd" long date; "w" weekday number; "ww" week of
// the year; "m", "mm" month number (minutes after an hour token or before a seconds token);
// "mmm", "mmmm" month name; "q" quarter; "y" day of the year; "yy", "yyyy" year; "h", "hh" hour;
// "n", "nn" minute; "s", "ss" second; "AM/PM", "am/pm", "A/P", "a/p" a 12-hour clock. Text in
// double quotes and a character after "\" are copied as they are, as is every other character.
std::string Format(DateValue value, std::string_view pattern);

// A number formatted by a pattern: "0" a digit that always shows, "#" a digit that shows only
// when significant, "." the decimal point, "," thousands grouping, "%" a percentage; other
// characters are copied. Up to three sections separated by ";" format positive, negative and
// zero values. 1234567 with "###,###,##0" gives "1,234,567"; 0 with "######" gives "".
std::string Format(double number, std::string_view pattern);

// "January" to "December" (abbreviated: "Jan" to "Dec"); empty for any other month number.
std::string MonthName(int month, bool abbreviated);
// "Sunday" to "Saturday" for 1 to 7 (abbreviated: "Sun" to "Sat"); empty otherwise.
std::string WeekdayName(int weekday, bool abbreviated);

} // namespace kestrel
