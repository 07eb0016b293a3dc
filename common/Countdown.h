#pragma once

#include "DateServices.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// The result of one countdown computation: the time left to midnight at the start of the target
// day (or, once it has passed, the time since), split into whole units, and the lines shown.
struct CountdownBreakdown
{
    std::int16_t TotalDays = 0;   // whole days after today; work days in the "dd" and "hh" families
    std::int16_t YearsPart = 0;   // whole blocks of 365 days
    std::int16_t DaysPart = 0;    // days after the whole years; work days in the "yy" family
    std::int16_t HoursPart = 0;   //
    std::int16_t MinutesPart = 0; //
    std::int16_t SecondsPart = 0; // 1 to 60 before the target: a full minute shows as 60 seconds
    std::string Line;             // the countdown line, "T-" and the numbers of the format
    std::string TodayLine;        // "Today is: " and now as "mmm d, yyyy h:mm:ss"
    bool KeepTicking = true;      // false only for the years-only format "yy"

    // Total hours, TotalDays x 24 + HoursPart. Kept in 32 bits: in 16 bits every target more
    // than about 3.7 years away would overflow.
    std::int32_t TotalHours() const { return TotalDays * 24 + HoursPart; }
};

// The three families of count formats, told apart by the first two characters of the format.
enum class FormatFamily
{
    Years, // "yy", "yy:dd", ... "yy:dd:hh:mm:ss"
    Days,  // "dd" ... "dd:hh:mm:ss"
    Hours, // anything else: "hh", "hh:mm", "hh:mm:ss"
};
FormatFamily FamilyOf(std::string_view captionOption);

// The countdown for `now` to the target day given by the three stored texts. Only the exact
// day type "WorkDays" counts work days. Raises error 6 (Overflow) when a count leaves the
// 16-bit range (a target more than 32767 days away).
CountdownBreakdown ComputeCountdown(DateValue now, std::string_view targetYear, std::string_view targetMonth,
                                    std::string_view targetDay, std::string_view targetType,
                                    std::string_view captionOption);

} // namespace kestrel
