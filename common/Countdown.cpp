// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "Countdown.h"

#include "ProgramSettings.h"
#include "RuntimeError.h"
#include "DateCalendar.h"
#include "WorkDays.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>

namespace kestrel {

namespace {

// A target date part: the leading number of the stored text, rounded halves to even.
long long TargetPart(std::string_view text)
{
    return ToInt16(ValFromText(text));
}

// "T-" (or "T+" for a count up) and the numbers of the units the format shows, joined by ":".
std::string CountdownLine(const CountdownBreakdown& b, std::string_view captionOption, const char* prefix = "T-")
{
    std::string line = prefix;
    bool first = true;
    for (const FormatUnit& unit : FormatRow(FamilyOf(captionOption)).units) {
        if (unit.shownIn(CountOutput::Line, captionOption.size())) {
            if (!first) {
                line += ':';
            }
            line += std::to_string(b.valueOf(unit.unit));
            first = false;
        }
    }
    return line;
}

// The moment a local wall time names, in seconds since the epoch, as the time-zone rules of the
// system (TZ) read it. A wall time the clocks skip (going forward) names the moment after the
// gap, so the midnight of a day that starts at 01:00 is the first moment that exists; a wall time
// the clocks pass twice (going back) is taken as the system picks it. Nothing for a time the
// system cannot convert.
std::optional<long long> MomentOf(DateValue wall)
{
    const DateParts parts = SplitDate(wall);
    std::tm local{};
    local.tm_year = parts.year - 1900;
    local.tm_mon = parts.month - 1;
    local.tm_mday = parts.day;
    local.tm_hour = parts.hour;
    local.tm_min = parts.minute;
    local.tm_sec = parts.second;
    local.tm_isdst = -1;
    std::tm asked = local;
    errno = 0;
    const std::time_t moment = std::mktime(&local);
    if (moment == static_cast<std::time_t>(-1) && errno != 0) {
        return std::nullopt;
    }
    // A wall time the clocks pass twice: the first of the two moments, whichever the system picked.
    long long first = static_cast<long long>(moment);
    for (const int dst : {0, 1}) {
        std::tm other = asked;
        other.tm_isdst = dst;
        errno = 0;
        const std::time_t candidate = std::mktime(&other);
        if ((candidate == static_cast<std::time_t>(-1) && errno != 0) || other.tm_isdst != dst) {
            continue;
        }
        if (other.tm_hour == asked.tm_hour && other.tm_min == asked.tm_min && other.tm_mday == asked.tm_mday &&
            static_cast<long long>(candidate) < first) {
            first = static_cast<long long>(candidate);
        }
    }
    // A wall time the clocks skip: the first moment after the skip, wherever in the gap it lies
    // (the system moves it on by the length of the gap). Changes of the clocks fall on whole
    // minutes, so the walk back goes a minute at a time.
    const auto wallKey = [](std::time_t moment) {
        std::tm wall{};
        localtime_r(&moment, &wall);
        return static_cast<long long>(timegm(&wall));
    };
    std::tm askedWall = asked;
    askedWall.tm_isdst = 0;
    const long long askedKey = static_cast<long long>(timegm(&askedWall));
    if (wallKey(static_cast<std::time_t>(first)) != askedKey) {
        for (int step = 0; step < 24 * 60 && wallKey(static_cast<std::time_t>(first - 60)) >= askedKey; ++step) {
            first -= 60;
        }
    }
    return first;
}

} // namespace

DateValue SteadyClockNow(DateValue now, DateValue target)
{
    const std::optional<long long> nowMoment = MomentOf(now);
    const std::optional<long long> targetMoment = MomentOf(target);
    if (!nowMoment || !targetMoment) {
        return now;
    }
    const long long left = *targetMoment - *nowMoment;
    const long long wallLeft = DateDiff("s", now, target);
    if (left == wallLeft) {
        return now; // no change of the clocks in between
    }
    return DateAdd("s", -left, target);
}

std::int32_t CountdownBreakdown::valueOf(CountUnit unit) const
{
    switch (unit) {
    case CountUnit::Years:
        return YearsPart;
    case CountUnit::Days:
        return DaysPart;
    case CountUnit::TotalDays:
        return TotalDays;
    case CountUnit::Hours:
        return HoursPart;
    case CountUnit::TotalHours:
        return TotalHours();
    case CountUnit::Minutes:
        return MinutesPart;
    case CountUnit::Seconds:
        break;
    }
    return SecondsPart;
}

bool CountsWorkDays(std::string_view dayType)
{
    return dayType == "WorkDays";
}

namespace {

// The days a count in work days leaves out of its whole days between the moments `from` and
// `to`: under the older rule the weekends crossed. With a working week, the days not worked among
// the whole days of the count: towards a later day those after the day of `from` (whose rest the
// hours carry) or, when `from` is a midnight the count starts at (`fromDayWhole`), from that day
// on; back in time those from the day of `to` up to the day of `from`.
long long DaysOff(const WorkCalendar& calendar, DateValue from, DateValue to, bool fromDayWhole = false)
{
    if (!calendar.usesHolidays()) {
        return WeekendDays(from, to);
    }
    if (DateDiff("s", from, to) == 0) {
        return 0;
    }
    const long long toDay = DayOf(to);
    if (from.serial < to.serial) {
        return calendar.daysOff(std::min(DayOf(from) + (fromDayWhole ? 0 : 1), toDay), toDay);
    }
    return calendar.daysOff(DayOf(from), toDay);
}

// The parts of the count from `now` (already on a clock without changes) to midnight at the
// start of the target day, and the line; the caller adds today's line.
CountdownBreakdown CountToMidnight(DateValue now, DateValue target, std::string_view targetType,
                                   std::string_view captionOption, const WorkCalendar& calendar)
{
    CountdownBreakdown result;
    // DateDiff "d" counts midnights crossed, so the -1 leaves the whole days after today; the
    // rest of today is carried by the hours, minutes and seconds.
    std::int16_t totalDays = ToInt16(DateDiff("d", now, target) - 1);
    const std::int16_t years = ToInt16(static_cast<long long>(totalDays / 365));
    const DateValue anchor = DateAdd("yyyy", years, now);
    std::int16_t days = ToInt16(DateDiff("d", anchor, target) - 1);

    const DateParts anchorParts = SplitDate(anchor);
    std::int16_t hours = 0;
    std::int16_t minutes = 0;
    std::int16_t seconds = 0;
    if (DateDiff("s", now, target) == 0) {
        // The target moment itself: nothing is left and nothing has passed. The rule below would
        // show the whole of today still to come (-1 days and 23:59:60).
        totalDays = 0;
        days = 0;
    } else if (now.serial <= target.serial) {
        hours = static_cast<std::int16_t>(23 - anchorParts.hour);
        minutes = static_cast<std::int16_t>(59 - anchorParts.minute);
        seconds = static_cast<std::int16_t>(60 - anchorParts.second);
    } else {
        days = ToInt16(days + 1LL);
        totalDays = ToInt16(totalDays + 1LL);
        hours = static_cast<std::int16_t>(-anchorParts.hour);
        minutes = static_cast<std::int16_t>(-anchorParts.minute);
        seconds = static_cast<std::int16_t>(-anchorParts.second);
    }

    const FormatFamily family = FamilyOf(captionOption);
    if (CountsWorkDays(targetType)) {
        // Under the older rule one weekend (two days) off for every Sunday after the start up to
        // and including the target day; with a working week the days not worked.
        if (family == FormatFamily::Years) {
            days = ToInt16(days - DaysOff(calendar, anchor, target));
        } else {
            totalDays = ToInt16(totalDays - DaysOff(calendar, now, target));
        }
    }

    result.TotalDays = totalDays;
    result.YearsPart = years;
    result.DaysPart = days;
    result.HoursPart = hours;
    result.MinutesPart = minutes;
    result.SecondsPart = seconds;

    result.Line = CountdownLine(result, captionOption);
    result.KeepTicking = !(family == FormatFamily::Years && captionOption.size() <= 3);
    return result;
}

// The same month and day as `target` in a year `years` later; 29 February is 28 February in a
// common year.
DateValue Anniversary(DateValue target, long long years)
{
    const long long year = Year(target) + years;
    const int month = Month(target);
    const auto last = static_cast<int>(calendar::DaysInMonth(static_cast<int>(year), static_cast<unsigned>(month)));
    return PackDate(year, month, std::min(Day(target), last));
}

// The plain time since midnight at the start of the target day, `now` past it (on a clock
// without changes): whole years since the target day, then days, hours, minutes and seconds.
CountdownBreakdown CountSince(DateValue now, DateValue target, std::string_view targetType,
                              std::string_view captionOption, const WorkCalendar& calendar)
{
    CountdownBreakdown result;
    long long years = Year(now) - Year(target);
    if (years > 0 && DateDiff("s", Anniversary(target, years), now) < 0) {
        --years;
    }
    const DateValue anchor = Anniversary(target, years);
    const long long sinceAnchor = DateDiff("s", anchor, now);
    long long totalDays = DateDiff("s", target, now) / 86400;
    long long days = sinceAnchor / 86400;
    const long long rest = sinceAnchor % 86400;

    const FormatFamily family = FamilyOf(captionOption);
    if (CountsWorkDays(targetType)) {
        if (family == FormatFamily::Years) {
            days -= DaysOff(calendar, anchor, now, true);
        } else {
            totalDays -= DaysOff(calendar, target, now, true);
        }
    }
    result.TotalDays = ToInt16(totalDays);
    result.YearsPart = ToInt16(years);
    result.DaysPart = ToInt16(days);
    result.HoursPart = static_cast<std::int16_t>(rest / 3600);
    result.MinutesPart = static_cast<std::int16_t>(rest / 60 % 60);
    result.SecondsPart = static_cast<std::int16_t>(rest % 60);
    result.Line = CountdownLine(result, captionOption, "T+");
    result.KeepTicking = !(family == FormatFamily::Years && captionOption.size() <= 3);
    return result;
}

std::string TodayLine(DateValue now)
{
    return "Today is: " + Format(now, "mmm d, yyyy h:mm:ss");
}

} // namespace

CountdownBreakdown ComputeCountdown(DateValue now, std::string_view targetYear, std::string_view targetMonth,
                                    std::string_view targetDay, std::string_view targetType,
                                    std::string_view captionOption, const WorkCalendar& calendar)
{
    const DateValue target = PackDate(TargetPart(targetYear), TargetPart(targetMonth), TargetPart(targetDay));
    // The count is the real time left: across a change of the clocks it is what a clock without
    // changes would show with as much time left. Today's line keeps the wall clock.
    CountdownBreakdown result =
        CountToMidnight(SteadyClockNow(now, target), target, targetType, captionOption, calendar);
    result.TodayLine = TodayLine(now);
    return result;
}

std::optional<int> TargetTimeOfDay(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3) {
        return std::nullopt;
    }
    int hours = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        hours = hours * 10 + (text[i] - '0');
    }
    const char tens = text[colon + 1];
    const char ones = text[colon + 2];
    if (tens < '0' || tens > '5' || ones < '0' || ones > '9' || hours > 23) {
        return std::nullopt;
    }
    return hours * 3600 + ((tens - '0') * 10 + (ones - '0')) * 60;
}

bool IsTrueText(std::string_view text)
{
    return text.size() == 4 && std::tolower(static_cast<unsigned char>(text[0])) == 't' &&
           std::tolower(static_cast<unsigned char>(text[1])) == 'r' &&
           std::tolower(static_cast<unsigned char>(text[2])) == 'u' &&
           std::tolower(static_cast<unsigned char>(text[3])) == 'e';
}

namespace {

// The last year a renewing target moves to: the last year of a date.
constexpr long long kLastYear = 9999;

// The stored month and day of a renewing target, when they name a day of some year.
std::optional<std::pair<int, int>> YearlyDay(const ProgramSettings& settings)
{
    try {
        const long long month = TargetPart(settings.TargetMonth);
        const long long day = TargetPart(settings.TargetDay);
        if (month < 1 || month > 12 || day < 1 || day > calendar::DaysInMonth(2000, static_cast<unsigned>(month))) {
            return std::nullopt;
        }
        return std::pair{static_cast<int>(month), static_cast<int>(day)};
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

} // namespace

ProgramSettings RenewedTarget(const ProgramSettings& settings, DateValue now)
{
    if (!IsTrueText(settings.RenewYearly)) {
        return settings;
    }
    const std::optional<std::pair<int, int>> yearly = YearlyDay(settings);
    if (!yearly) {
        return settings;
    }
    const int month = yearly->first;
    const int day = yearly->second;
    const bool countUp = IsTrueText(settings.CountUp);
    ProgramSettings renewed = settings;
    const auto moveTo = [&](long long year) {
        const auto last = static_cast<int>(calendar::DaysInMonth(static_cast<int>(year), static_cast<unsigned>(month)));
        renewed.TargetYear = std::to_string(year);
        renewed.TargetDay = std::to_string(std::min(day, last));
    };
    try {
        // The stored year as the engine reads it (two-digit years included).
        const long long stored = Year(PackDate(TargetPart(settings.TargetYear), month, 1));
        // Years before last year's anniversary are past whatever the time of day.
        long long year = std::max<long long>(stored, Year(now) - 1);
        moveTo(year);
        while (year < kLastYear &&
               (countUp ? now.serial >= TargetDay(renewed).serial + 1.0 : TargetPassed(renewed, now))) {
            moveTo(++year);
        }
        if (year == stored && renewed.TargetDay == std::to_string(day)) {
            return settings; // nothing moved: the stored texts as they stand
        }
        return renewed;
    } catch (const RuntimeError&) {
        // A year the engine cannot count with: the count reports it as it would without renewal.
        return settings;
    }
}

ProgramSettings CurrentAnniversary(const ProgramSettings& settings, DateValue now)
{
    ProgramSettings throughTheDay = settings;
    throughTheDay.CountUp = "True";
    ProgramSettings current = RenewedTarget(throughTheDay, now);
    current.CountUp = settings.CountUp;
    return current;
}

std::optional<std::string> RenewedYearToStore(const ProgramSettings& settings, DateValue now)
{
    // The stored year changes once the anniversary's day has ended, whether or not the count
    // runs up through it.
    const ProgramSettings renewed = CurrentAnniversary(settings, now);
    if (renewed.TargetYear == settings.TargetYear) {
        return std::nullopt;
    }
    try {
        if (Year(TargetDay(renewed)) == Year(PackDate(TargetPart(settings.TargetYear), 1, 1))) {
            return std::nullopt; // the same year, written otherwise ("99" for 1999)
        }
    } catch (const RuntimeError&) {}
    return renewed.TargetYear;
}

CountdownBreakdown ComputeCountdown(DateValue now, const ProgramSettings& stored)
{
    // Only a renewing target needs a copy with its year moved on.
    std::optional<ProgramSettings> renewed;
    if (IsTrueText(stored.RenewYearly)) {
        renewed = RenewedTarget(stored, now);
    }
    const ProgramSettings& settings = renewed ? *renewed : stored;
    const int time = TargetTimeOfDay(settings.TargetTime).value_or(0);
    const bool countUp = IsTrueText(settings.CountUp);
    if (time == 0 && !countUp) {
        return ComputeCountdown(now, settings.TargetYear, settings.TargetMonth, settings.TargetDay, settings.TargetType,
                                settings.CaptionOption, settings.workDayRule());
    }
    // The count to a time of day is the count to midnight with the clock set back by that time:
    // every rule of the count holds as at midnight.
    const DateValue day = TargetDay(settings);
    const DateValue moment = time != 0 ? DateAdd("s", time, day) : day;
    DateValue shifted = SteadyClockNow(now, moment);
    if (time != 0) {
        shifted = DateAdd("s", -time, shifted);
    }
    CountdownBreakdown result =
        countUp && DateDiff("s", day, shifted) > 0
            ? CountSince(shifted, day, settings.TargetType, settings.CaptionOption, settings.workDayRule())
            : CountToMidnight(shifted, day, settings.TargetType, settings.CaptionOption, settings.workDayRule());
    result.TodayLine = TodayLine(now);
    return result;
}

CountdownBreakdown OutOfRangeCountdown(DateValue now)
{
    CountdownBreakdown result;
    result.Line = std::string("T-") + kOutOfRangeMark;
    result.TodayLine = "Today is: " + Format(now, "mmm d, yyyy h:mm:ss");
    result.KeepTicking = false;
    result.OutOfRange = true;
    return result;
}

DateValue TargetDay(const ProgramSettings& settings)
{
    const long long year = TargetPart(settings.TargetYear);
    const long long month = TargetPart(settings.TargetMonth);
    long long day = TargetPart(settings.TargetDay);
    // A target that renews every year keeps 29 February in the file: in a common year it is the
    // 28th, not the 1 March the date parts would carry to.
    if (IsTrueText(settings.RenewYearly) && month == 2 && day == 29) {
        const DateValue first = PackDate(year, month, 1);
        day = std::min<long long>(day, calendar::DaysInMonth(static_cast<int>(Year(first)), 2));
    }
    return PackDate(year, month, day);
}

DateValue TargetMoment(const ProgramSettings& settings)
{
    const DateValue day = TargetDay(settings);
    const std::optional<int> time = TargetTimeOfDay(settings.TargetTime);
    return time && *time != 0 ? DateAdd("s", *time, day) : day;
}

std::string TargetTimeText(const ProgramSettings& settings)
{
    const int time = TargetTimeOfDay(settings.TargetTime).value_or(0);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:00", time / 3600, time / 60 % 60);
    return text;
}

bool TargetPassed(const ProgramSettings& settings, DateValue now)
{
    const DateValue target = TargetMoment(settings);
    return SteadyClockNow(now, target).serial > target.serial;
}

std::string TargetIsoDate(const ProgramSettings& settings)
{
    const DateParts target = SplitDate(TargetDay(settings));
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", target.year, target.month, target.day);
    return text;
}

} // namespace kestrel
