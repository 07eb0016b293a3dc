// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CountFormat.h"
#include "DateServices.h"
#include "WorkDays.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

struct ProgramSettings;

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
    // The count left the 16-bit range: the numbers are all 0 and belong to no target, and every
    // display says "out of range" instead.
    bool OutOfRange = false;

    // Total hours, TotalDays x 24 + HoursPart. Kept in 32 bits: in 16 bits every target more
    // than about 3.7 years away would overflow.
    std::int32_t TotalHours() const { return TotalDays * 24 + HoursPart; }
    // The number a format shows for one of its units.
    std::int32_t valueOf(CountUnit unit) const;
};

// What every display shows in place of a count that leaves the 16-bit range.
inline constexpr const char* kOutOfRangeMark = "out of range";

// The one day-type rule of every display: only the exact day type "WorkDays" counts work days;
// any other text, "workdays" and "Days" alike, counts calendar days.
bool CountsWorkDays(std::string_view dayType);

// The countdown for `now` to the target day given by the three stored texts. Only the exact
// day type "WorkDays" counts work days (CountsWorkDays), by `calendar` (the older rule unless the
// settings choose a working week and holidays). The count is the real time left to the first moment of
// the target day (see SteadyClockNow); at that moment every part is 0. Raises error 6 (Overflow)
// when a count leaves the 16-bit range (a target more than 32767 days away).
CountdownBreakdown ComputeCountdown(DateValue now, std::string_view targetYear, std::string_view targetMonth,
                                    std::string_view targetDay, std::string_view targetType,
                                    std::string_view captionOption, const WorkCalendar& calendar = WorkCalendar());

// The target time of day of the stored text "H:MM" or "HH:MM" (24-hour), in seconds after
// midnight; nothing for an empty text or anything else, which means midnight.
std::optional<int> TargetTimeOfDay(std::string_view text);

// Whether a stored switch ("Count_Up") is on: "True" in any letter case.
bool IsTrueText(std::string_view text);

// The countdown for `now` to the target of the settings: the target day and, when the settings
// name one, its time of day. Every rule of the count (formats, work days, zero at the moment, out
// of range, changes of the clocks) holds as at midnight; without a time it is the count above.
// With "Count_Up" on, once the target moment has passed the parts are the plain time since it,
// after "T+": whole years since the target day (the same day of a later year; 29 February counts
// from 28 February in common years), then days (work days with "WorkDays"), hours, minutes and
// seconds (0 to 59).
CountdownBreakdown ComputeCountdown(DateValue now, const ProgramSettings& settings);

// The settings as every display counts with them: with "Renew_Yearly" on, the target moves to
// the anniversary of the stored day (29 February is 28 February in a common year) in the first
// year, from the stored one on, whose target is not past: past once its moment has gone by, or
// with "Count_Up" on once its day has ended (the count runs up through the day, then renews).
// Only the target texts change; the settings themselves when the switch is off or the stored
// month and day name no day of the year.
ProgramSettings RenewedTarget(const ProgramSettings& settings, DateValue now);

// The anniversary whose day has not ended: what RenewedTarget gives with "Count_Up" on, so that
// a renewing target stays on its day until the day ends. The settings themselves otherwise.
ProgramSettings CurrentAnniversary(const ProgramSettings& settings, DateValue now);

// The year the settings file should hold now that a renewing target's day has ended: the year of
// the next anniversary that has not ended, when it differs from the stored one. The stored month
// and day stay as they are (29 February stays 29 February).
std::optional<std::string> RenewedYearToStore(const ProgramSettings& settings, DateValue now);

// The wall time, on a clock without changes of the clocks, that stands as much real time before
// the target's midnight as `now` stands before the first moment of the target day (midnight, or
// where the clocks skip midnight the first moment after it) by the local time-zone rules. `now`
// itself when no change of the clocks lies between; one hour later or earlier across a change.
// Berlin, 27 March 2027 12:00:30 to 29 March: 34:59:30 are left, so 27 March 13:00:30.
DateValue SteadyClockNow(DateValue now, DateValue target);

// The countdown shown once a count has left the 16-bit range: no numbers, the line
// "T-out of range", today's line for `now`, and the timer stopped until a new target is set.
CountdownBreakdown OutOfRangeCountdown(DateValue now);

// Midnight at the start of the target day, read from the stored target texts as the engine reads
// them. Raises error 6 or 5 for texts the engine cannot count with.
DateValue TargetDay(const ProgramSettings& settings);
// The target moment as a wall time: the target day and its time of day. A time the clocks skip
// stands for the first moment after the skip, one they pass twice for the first of the two.
DateValue TargetMoment(const ProgramSettings& settings);
// The target's time of day as "hh:mm:ss" ("00:00:00" without one), for the target lines.
std::string TargetTimeText(const ProgramSettings& settings);
// Whether the countdown has passed its target (now later than the target moment, as the engine
// counts), judged from the same stored target texts as the engine reads.
bool TargetPassed(const ProgramSettings& settings, DateValue now);
// The target day as "yyyy-mm-dd".
std::string TargetIsoDate(const ProgramSettings& settings);

} // namespace kestrel
