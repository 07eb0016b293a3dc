// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DateServices.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The work-day rule every count in work days follows: two days off for every Sunday after
// `from` up to and including `to` (Sunday is the first day of the week). Negative when `to` is
// earlier than `from`, so that a count back in time loses its weekends too.
long long WeekendDays(DateValue from, DateValue to);

// The midnights crossed from `from` to `to` less the weekend days between them: Monday 3 to
// Monday 10 January 2000 is 5, a Friday to the next Monday 1, a Saturday to the next day -1.
long long WorkDayCount(DateValue from, DateValue to);

// The days of the week a team works, as one bit a day: bit 0 Sunday to bit 6 Saturday.
struct WorkingWeek
{
    std::uint8_t days = 0b0111110; // Monday to Friday

    bool works(int weekday) const { return ((days >> (weekday - 1)) & 1U) != 0; } // 1 Sunday .. 7 Saturday
    int daysWorked() const;

    friend bool operator==(const WorkingWeek&, const WorkingWeek&) = default;
};

// The working week as the settings file stores it: English day abbreviations separated by
// blanks ("Mon Tue Wed Thu Fri"), in any letter case and order. Nothing for an empty text or one
// with any other word, which the caller replaces by the default week.
std::optional<WorkingWeek> ReadWorkingWeek(std::string_view text);
// The stored text of a week, Monday first: "Mon Tue Wed Thu Fri"; "" for a week of no days.
std::string WorkingWeekText(WorkingWeek week);
inline constexpr const char* kDefaultWorkingWeek = "Mon Tue Wed Thu Fri";

// Whole days from 30 December 1899 to the day of the date (1 January 2000 is 36526).
long long DayOf(DateValue date);

// One holiday: its day number (as DayOf counts) and its name.
struct Holiday
{
    long long day = 0;
    std::string name;

    friend bool operator==(const Holiday&, const Holiday&) = default;
};

// Sorts holidays by day and makes one of every day, its names joined by ", " in the order given.
std::vector<Holiday> MergeHolidays(std::vector<Holiday> holidays);

// Holidays sorted by day, one a day, their names kept in one text, each ended by a line break:
// the form the programs read from the holiday cache at every start, where the names stay in the
// text as read, so that reading costs little.
class HolidayTable
{
public:
    HolidayTable() = default;
    // From holidays sorted by day, one a day (MergeHolidays).
    explicit HolidayTable(const std::vector<Holiday>& merged);

    // Adds a holiday after the last one; false (and nothing added) when its day is not later.
    bool add(long long day, std::string_view name);
    // The same for a name that stands in the text from `nameBegin` up to the next line break;
    // the text is given with adoptNames once every holiday is added.
    bool addNamed(long long day, std::size_t nameBegin);
    void adoptNames(std::string text) { m_names = std::move(text); }
    void reserve(std::size_t count);

    std::size_t size() const { return m_days.size(); }
    bool empty() const { return m_days.empty(); }
    long long day(std::size_t i) const { return m_days[i]; }
    std::string_view name(std::size_t i) const;
    const std::vector<std::int32_t>& days() const { return m_days; }
    std::vector<Holiday> holidays() const;

private:
    std::vector<std::int32_t> m_days;
    std::vector<std::uint32_t> m_nameBegins;
    std::string m_names;
};

// Which days are work days. Made without a working week it is the older rule (WorkDayCount,
// weekends are Saturday and Sunday); made with one, the work days from D up to T are the days d
// with D <= d < T whose weekday is worked and that are no holiday, counted with a binary search
// in the sorted holidays, so a count across centuries costs as little as one across a week.
class WorkCalendar
{
public:
    WorkCalendar() = default;
    WorkCalendar(WorkingWeek week, std::vector<Holiday> holidays);
    WorkCalendar(WorkingWeek week, HolidayTable holidays);

    // Whether the working week and the holidays apply rather than the older rule.
    bool usesHolidays() const { return m_usesHolidays; }
    WorkingWeek week() const { return m_week; }
    const HolidayTable& holidays() const { return m_holidays; }

    // The work days from day `from` up to day `to` (the count of the days in [from, to) that
    // are worked), negative when `to` is earlier (minus the count of the days in [to, from)).
    // Under the older rule: WorkDayCount.
    long long workDays(DateValue from, DateValue to) const;
    long long workDays(long long fromDay, long long toDay) const;
    // The days in [fromDay, toDay) that are not worked, negative the other way round.
    long long daysOff(long long fromDay, long long toDay) const;
    // Whether a day is worked: its weekday is in the week and it is no holiday. Under the older
    // rule every day but Saturday and Sunday.
    bool worked(long long day) const;
    // The holiday's name on a day, or nothing.
    std::optional<std::string_view> holidayOn(long long day) const;

private:
    bool m_usesHolidays = false;
    WorkingWeek m_week;
    HolidayTable m_holidays;
    // The holidays that fall on a worked weekday, sorted: only they take a day off the count.
    std::vector<std::int32_t> m_daysOffWork;
};

} // namespace kestrel
