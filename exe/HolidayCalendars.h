// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WorkDays.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Reading holiday calendars: iCalendar files as public-holiday feeds and calendar programs export
// them. Only `kestrel` reads them (with libical); the other programs read the holiday cache.

// At most this many holiday days are taken from one calendar.
inline constexpr std::size_t kMaxHolidaysPerCalendar = 100000;
// A holiday calendar larger than this is refused.
inline constexpr std::size_t kMaxHolidayCalendarBytes = 16U * 1024U * 1024U;

// The holidays of an iCalendar text: every all-day VEVENT (DTSTART a date) on its day and, for a
// multi-day event, the days up to its DTEND (exclusive); a yearly, monthly, weekly or daily RRULE
// repeats it (to 2582, where libical ends recurrences) except on its EXDATE days, and RDATE days
// add to it. Events with a time of day count not at all; a rule that repeats more often than
// daily is ignored. Days outside the years 100 to 9999 are left out, and no more than
// kMaxHolidaysPerCalendar are taken. Nothing when the text is no iCalendar at all. Working out
// the rules of one calendar may take kHolidayRuleTime at most: libical takes long over rules
// that match few days, and a file of such rules would keep the window waiting. `cutShort`, when
// given, says whether that time ran out (the days found by then are taken).
inline constexpr std::chrono::milliseconds kHolidayRuleTime{2000};
std::optional<std::vector<Holiday>> ReadHolidayCalendarText(std::string_view text, bool* cutShort = nullptr);

// What reading a calendar file gave: its holidays, or why it gave none.
struct HolidayCalendarRead
{
    std::vector<Holiday> holidays;
    std::string problem; // empty when it was read
};
HolidayCalendarRead ReadHolidayCalendarFile(const std::filesystem::path& path);

// The message for a calendar that cannot be read: it counts as absent.
std::string UnreadableHolidayCalendarMessage(const std::filesystem::path& path, std::string_view reason);

// Builds the holiday cache from the calendars: every readable one's holidays merged, one a day.
// The messages of the calendars that could not be read, one each; a cache that cannot be written
// is one more.
std::vector<std::string> BuildHolidayCache(const std::filesystem::path& cache,
                                           const std::vector<std::filesystem::path>& calendars);

// Whether the cache must be built again: it is missing, or one of the calendars was changed
// after it.
bool HolidayCacheOutOfDate(const std::filesystem::path& cache, const std::vector<std::filesystem::path>& calendars);

} // namespace kestrel
