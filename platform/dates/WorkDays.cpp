// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkDays.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>

namespace kestrel {

namespace {

// Monday first, as the stored week is written; the bit of each day.
struct DayName
{
    const char* name;
    int weekday; // 1 Sunday .. 7 Saturday
};
// clang-format off
constexpr std::array<DayName, 7> kDayNames = {{
    {"Mon", 2},
    {"Tue", 3},
    {"Wed", 4},
    {"Thu", 5},
    {"Fri", 6},
    {"Sat", 7},
    {"Sun", 1},
}};
// clang-format on

bool SameWord(std::string_view word, const char* name)
{
    const std::string_view wanted(name);
    return word.size() == wanted.size() && std::equal(word.begin(), word.end(), wanted.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// 1 Sunday .. 7 Saturday of a day number; day 0 (30 December 1899) was a Saturday.
int WeekdayOfDay(long long day)
{
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

} // namespace

long long WeekendDays(DateValue from, DateValue to)
{
    return 2 * DateDiff("ww", from, to);
}

long long WorkDayCount(DateValue from, DateValue to)
{
    return DateDiff("d", from, to) - WeekendDays(from, to);
}

int WorkingWeek::daysWorked() const
{
    return std::popcount(static_cast<unsigned>(days & 0x7FU));
}

std::optional<WorkingWeek> ReadWorkingWeek(std::string_view text)
{
    WorkingWeek week{0};
    bool any = false;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') {
            ++end;
        }
        const std::string_view word = text.substr(at, end - at);
        const auto day = std::find_if(kDayNames.begin(), kDayNames.end(),
                                      [word](const DayName& d) { return SameWord(word, d.name); });
        if (day == kDayNames.end()) {
            return std::nullopt;
        }
        week.days = static_cast<std::uint8_t>(week.days | (1U << (day->weekday - 1)));
        any = true;
        at = end;
    }
    if (!any) {
        return std::nullopt;
    }
    return week;
}

std::string WorkingWeekText(WorkingWeek week)
{
    std::string text;
    for (const DayName& day : kDayNames) {
        if (week.works(day.weekday)) {
            if (!text.empty()) {
                text += ' ';
            }
            text += day.name;
        }
    }
    return text;
}

long long DayOf(DateValue date)
{
    return static_cast<long long>(std::trunc(date.serial));
}

std::vector<Holiday> MergeHolidays(std::vector<Holiday> holidays)
{
    // A cache is read already sorted, one a day: then there is nothing to do, and the programs
    // that read it at every start pay for one pass only.
    if (std::adjacent_find(holidays.begin(), holidays.end(),
                           [](const Holiday& a, const Holiday& b) { return a.day >= b.day; }) == holidays.end()) {
        return holidays;
    }
    std::stable_sort(holidays.begin(), holidays.end(),
                     [](const Holiday& a, const Holiday& b) { return a.day < b.day; });
    std::vector<Holiday> merged;
    merged.reserve(holidays.size());
    for (Holiday& holiday : holidays) {
        if (!merged.empty() && merged.back().day == holiday.day) {
            std::string& names = merged.back().name;
            // The same name from two calendars is said once.
            if (names != holiday.name && names.find(", " + holiday.name) == std::string::npos &&
                !names.starts_with(holiday.name + ", ")) {
                names += ", " + holiday.name;
            }
            continue;
        }
        merged.push_back(std::move(holiday));
    }
    return merged;
}

HolidayTable::HolidayTable(const std::vector<Holiday>& merged)
{
    reserve(merged.size());
    for (const Holiday& holiday : merged) {
        add(holiday.day, holiday.name);
    }
}

bool HolidayTable::add(long long day, std::string_view name)
{
    const std::size_t begin = m_names.size();
    if (!addNamed(day, begin)) {
        return false;
    }
    for (const char c : name) {
        m_names += c == '\n' ? ' ' : c;
    }
    m_names += '\n';
    return true;
}

bool HolidayTable::addNamed(long long day, std::size_t nameBegin)
{
    if (!m_days.empty() && day <= m_days.back()) {
        return false;
    }
    m_days.push_back(static_cast<std::int32_t>(day));
    m_nameBegins.push_back(static_cast<std::uint32_t>(nameBegin));
    return true;
}

void HolidayTable::reserve(std::size_t count)
{
    m_days.reserve(count);
    m_nameBegins.reserve(count);
}

std::string_view HolidayTable::name(std::size_t i) const
{
    const std::string_view names(m_names);
    const std::size_t begin = std::min<std::size_t>(m_nameBegins[i], names.size());
    const std::size_t end = names.find('\n', begin);
    return names.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

std::vector<Holiday> HolidayTable::holidays() const
{
    std::vector<Holiday> all;
    all.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) {
        all.push_back({day(i), std::string(name(i))});
    }
    return all;
}

WorkCalendar::WorkCalendar(WorkingWeek week, std::vector<Holiday> holidays)
    : WorkCalendar(week, HolidayTable(MergeHolidays(std::move(holidays))))
{}

WorkCalendar::WorkCalendar(WorkingWeek week, HolidayTable holidays)
    : m_usesHolidays(true), m_week(week), m_holidays(std::move(holidays))
{
    m_daysOffWork.reserve(m_holidays.size());
    for (const std::int32_t day : m_holidays.days()) {
        if (m_week.works(WeekdayOfDay(day))) {
            m_daysOffWork.push_back(day);
        }
    }
}

long long WorkCalendar::workDays(DateValue from, DateValue to) const
{
    if (!m_usesHolidays) {
        return WorkDayCount(from, to);
    }
    return workDays(DayOf(from), DayOf(to));
}

long long WorkCalendar::workDays(long long fromDay, long long toDay) const
{
    if (!m_usesHolidays) {
        return WorkDayCount(DateValue{static_cast<double>(fromDay)}, DateValue{static_cast<double>(toDay)});
    }
    if (toDay < fromDay) {
        return -workDays(toDay, fromDay);
    }
    const long long span = toDay - fromDay;
    long long count = span / 7 * m_week.daysWorked();
    // The days after the whole weeks: at most six, each looked at.
    for (long long day = fromDay + span / 7 * 7; day < toDay; ++day) {
        count += m_week.works(WeekdayOfDay(day)) ? 1 : 0;
    }
    const auto first = std::lower_bound(m_daysOffWork.begin(), m_daysOffWork.end(), fromDay);
    const auto end = std::lower_bound(first, m_daysOffWork.end(), toDay);
    return count - (end - first);
}

long long WorkCalendar::daysOff(long long fromDay, long long toDay) const
{
    return toDay - fromDay - workDays(fromDay, toDay);
}

bool WorkCalendar::worked(long long day) const
{
    const int weekday = WeekdayOfDay(day);
    if (!m_usesHolidays) {
        return weekday >= 2 && weekday <= 6;
    }
    return m_week.works(weekday) && !std::binary_search(m_daysOffWork.begin(), m_daysOffWork.end(), day);
}

std::optional<std::string_view> WorkCalendar::holidayOn(long long day) const
{
    const std::vector<std::int32_t>& days = m_holidays.days();
    const auto at = std::lower_bound(days.begin(), days.end(), day);
    if (at == days.end() || *at != day) {
        return std::nullopt;
    }
    return m_holidays.name(static_cast<std::size_t>(at - days.begin()));
}

} // namespace kestrel
