#include "Countdown.h"

#include "RuntimeError.h"
#include "WorkDays.h"

#include <cmath>

namespace kestrel {

namespace {

// A target date part: the leading number of the stored text, rounded halves to even.
long long TargetPart(std::string_view text)
{
    return ToInt16(ValFromText(text));
}

std::string Joined(std::initializer_list<long long> numbers)
{
    std::string line = "T-";
    bool first = true;
    for (long long n : numbers) {
        if (!first) {
            line += ':';
        }
        line += std::to_string(n);
        first = false;
    }
    return line;
}

} // namespace

FormatFamily FamilyOf(std::string_view captionOption)
{
    const std::string_view prefix = captionOption.substr(0, 2);
    if (prefix == "yy") {
        return FormatFamily::Years;
    }
    if (prefix == "dd") {
        return FormatFamily::Days;
    }
    return FormatFamily::Hours;
}

CountdownBreakdown ComputeCountdown(DateValue now, std::string_view targetYear, std::string_view targetMonth,
                                    std::string_view targetDay, std::string_view targetType,
                                    std::string_view captionOption)
{
    CountdownBreakdown result;
    const DateValue target = PackDate(TargetPart(targetYear), TargetPart(targetMonth), TargetPart(targetDay));

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
    if (now.serial <= target.serial) {
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
    if (targetType == "WorkDays") {
        // One weekend (two days) off for every Sunday after the start up to and including the
        // target day.
        if (family == FormatFamily::Years) {
            days = ToInt16(days - WeekendDays(anchor, target));
        } else {
            totalDays = ToInt16(totalDays - WeekendDays(now, target));
        }
    }

    result.TotalDays = totalDays;
    result.YearsPart = years;
    result.DaysPart = days;
    result.HoursPart = hours;
    result.MinutesPart = minutes;
    result.SecondsPart = seconds;

    const std::size_t length = captionOption.size();
    const long long Y = years, D = days, TD = totalDays, H = hours, M = minutes, S = seconds;
    const long long TH = result.TotalHours();
    switch (family) {
    case FormatFamily::Years:
        result.Line = length > 12  ? Joined({Y, D, H, M, S})
                      : length > 9 ? Joined({Y, D, H, M})
                      : length > 5 ? Joined({Y, D, H})
                      : length > 3 ? Joined({Y, D})
                                   : Joined({Y});
        break;
    case FormatFamily::Days:
        result.Line = length > 9   ? Joined({TD, H, M, S})
                      : length > 5 ? Joined({TD, H, M})
                      : length > 3 ? Joined({TD, H})
                                   : Joined({TD});
        break;
    case FormatFamily::Hours:
        result.Line = length > 5 ? Joined({TH, M, S}) : length > 3 ? Joined({TH, M}) : Joined({TH});
        break;
    }
    result.TodayLine = "Today is: " + Format(now, "mmm d, yyyy h:mm:ss");
    result.KeepTicking = !(family == FormatFamily::Years && length <= 3);
    return result;
}

} // namespace kestrel
