// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "HolidayCalendars.h"

#include "AtomicFile.h"
#include "Holidays.h"
#include "TextEncoding.h"

#include <libical/ical.h>

#include <algorithm>
#include <memory>
#include <set>

namespace kestrel {

namespace {

// libical ends every recurrence in this year.
constexpr int kLastRecurrenceYear = 2582;
// A multi-day event longer than a year is no holiday but a damaged or odd file.
constexpr long long kMaxEventDays = 366;
// The steps of one rule's iterator, so that a rule that finds few days cannot spin for long.
constexpr long long kMaxRuleSteps = 200000;

struct ComponentDeleter
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
struct IteratorDeleter
{
    void operator()(icalrecur_iterator* iterator) const { icalrecur_iterator_free(iterator); }
};

// The day number of a date of the years 100 to 9999, or nothing.
std::optional<long long> DayOfDate(const icaltimetype& time)
{
    if (icaltime_is_null_time(time) || time.year < 100 || time.year > 9999 || time.month < 1 || time.month > 12 ||
        time.day < 1 || time.day > 31) {
        return std::nullopt;
    }
    try {
        const DateValue date = PackDate(time.year, time.month, time.day);
        if (Day(date) != time.day) {
            return std::nullopt; // 31 April and the like
        }
        return DayOf(date);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

// The days an all-day event lasts: up to DTEND (exclusive), or its DURATION; one without either.
long long EventLength(icalcomponent* event, long long firstDay)
{
    if (icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const std::optional<long long> endDay = DayOfDate(icalproperty_get_dtend(end));
        return endDay && *endDay > firstDay ? std::min(*endDay - firstDay, kMaxEventDays) : 1;
    }
    if (icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        const icaldurationtype length = icalproperty_get_duration(duration);
        const long long days = static_cast<long long>(length.days) + 7LL * static_cast<long long>(length.weeks);
        return length.is_neg == 0 && days > 0 ? std::min(days, kMaxEventDays) : 1;
    }
    return 1;
}

bool MoreOftenThanDaily(icalrecurrencetype_frequency frequency)
{
    return frequency == ICAL_SECONDLY_RECURRENCE || frequency == ICAL_MINUTELY_RECURRENCE ||
           frequency == ICAL_HOURLY_RECURRENCE;
}

class CalendarReader
{
public:
    std::vector<Holiday> holidays;
    // Rules are worked out until then; later ones give only their first day.
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + kHolidayRuleTime;
    bool outOfTime = false;

    void readEvent(icalcomponent* event)
    {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        if (icaltime_is_null_time(start) || start.is_date == 0) {
            return; // only all-day events are holidays
        }
        const char* summary = icalcomponent_get_summary(event);
        const std::string name = Utf8Text(summary != nullptr ? std::string_view(summary) : std::string_view());
        const std::optional<long long> firstDay = DayOfDate(start);
        const long long length = firstDay ? EventLength(event, *firstDay) : 1;

        std::set<long long> excluded;
        for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p != nullptr;
             p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
            if (const std::optional<long long> day = DayOfDate(icalproperty_get_exdate(p))) {
                excluded.insert(*day);
            }
        }
        const auto add = [&](long long day) {
            if (excluded.contains(day)) {
                return;
            }
            for (long long i = 0; i < length && !full(); ++i) {
                if (day + i <= kLastDay) {
                    holidays.push_back({day + i, name});
                }
            }
        };

        icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
        // One search of the iterator may take long by itself: the time is looked at before each rule too.
        outOfTime = outOfTime || (rule != nullptr && std::chrono::steady_clock::now() >= deadline);
        const icalrecurrencetype recurrence = rule != nullptr ? icalproperty_get_rrule(rule) : icalrecurrencetype{};
        if (rule != nullptr && firstDay && !MoreOftenThanDaily(recurrence.freq) &&
            recurrence.freq != ICAL_NO_RECURRENCE && !outOfTime) {
            const std::unique_ptr<icalrecur_iterator, IteratorDeleter> iterator(
                icalrecur_iterator_new(recurrence, start));
            long long steps = 0;
            if (iterator) {
                for (icaltimetype next = icalrecur_iterator_next(iterator.get());
                     !icaltime_is_null_time(next) && next.year <= kLastRecurrenceYear && !full() &&
                     ++steps <= kMaxRuleSteps;
                     next = icalrecur_iterator_next(iterator.get())) {
                    if (const std::optional<long long> day = DayOfDate(next)) {
                        add(*day);
                    }
                    if (std::chrono::steady_clock::now() >= deadline) {
                        outOfTime = true;
                        break;
                    }
                }
            }
        } else if (firstDay) {
            add(*firstDay);
        }
        for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p != nullptr && !full();
             p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype date = icalproperty_get_rdate(p);
            if (date.time.is_date != 0) {
                if (const std::optional<long long> day = DayOfDate(date.time)) {
                    add(*day);
                }
            }
        }
    }

private:
    static constexpr long long kLastDay = 2958465; // 31 December 9999
    bool full() const { return holidays.size() >= kMaxHolidaysPerCalendar; }
};

} // namespace

std::optional<std::vector<Holiday>> ReadHolidayCalendarText(std::string_view text, bool* cutShort)
{
    icalerror_set_errors_are_fatal(0);
    // libical reads a C string: a NUL inside the text ends it, as it would end the file for it.
    const std::string owned(text.substr(0, text.find('\0')));
    const std::unique_ptr<icalcomponent, ComponentDeleter> root(icalparser_parse_string(owned.c_str()));
    icalerror_clear_errno();
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT) {
        return std::nullopt;
    }
    CalendarReader reader;
    for (icalcomponent* event = icalcomponent_get_first_component(root.get(), ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(root.get(), ICAL_VEVENT_COMPONENT)) {
        reader.readEvent(event);
    }
    if (cutShort != nullptr) {
        *cutShort = reader.outOfTime;
    }
    return MergeHolidays(std::move(reader.holidays));
}

std::string UnreadableHolidayCalendarMessage(const std::filesystem::path& path, std::string_view reason)
{
    return "The holiday calendar " + path.string() + " cannot be read (" + std::string(reason) +
           "), so its holidays are left out.";
}

HolidayCalendarRead ReadHolidayCalendarFile(const std::filesystem::path& path)
{
    FileResult<FileContents> read = ReadRegularFile(path, kMaxHolidayCalendarBytes);
    if (!read) {
        return {{}, UnreadableHolidayCalendarMessage(path, read.error().report())};
    }
    bool cutShort = false;
    std::optional<std::vector<Holiday>> holidays = ReadHolidayCalendarText(read.value().bytes, &cutShort);
    if (!holidays) {
        return {{}, UnreadableHolidayCalendarMessage(path, "it is no iCalendar file")};
    }
    if (cutShort) {
        return {std::move(*holidays), "The holiday calendar " + path.string() +
                                          " has rules that take too long to work out; the holidays found in " +
                                          std::to_string(kHolidayRuleTime.count() / 1000) + " s are used."};
    }
    return {std::move(*holidays), {}};
}

std::vector<std::string> BuildHolidayCache(const std::filesystem::path& cache,
                                           const std::vector<std::filesystem::path>& calendars)
{
    std::vector<std::string> problems;
    std::vector<Holiday> all;
    for (const std::filesystem::path& calendar : calendars) {
        HolidayCalendarRead read = ReadHolidayCalendarFile(calendar);
        if (!read.problem.empty()) {
            problems.push_back(std::move(read.problem));
        }
        all.insert(all.end(), std::make_move_iterator(read.holidays.begin()),
                   std::make_move_iterator(read.holidays.end()));
    }
    try {
        WriteHolidayCache(cache, MergeHolidays(std::move(all)));
    } catch (const RuntimeError& error) {
        problems.push_back(CouldNotBeSavedText("The holiday cache", cache, error.report()));
    }
    return problems;
}

bool HolidayCacheOutOfDate(const std::filesystem::path& cache, const std::vector<std::filesystem::path>& calendars)
{
    const std::optional<FileIdentity> built = IdentityOfFile(cache);
    if (!built) {
        return true;
    }
    const auto time = [](const FileIdentity& id) { return std::pair(id.modifiedSeconds, id.modifiedNanoseconds); };
    return std::any_of(calendars.begin(), calendars.end(), [&](const std::filesystem::path& calendar) {
        const std::optional<FileIdentity> identity = IdentityOfFile(calendar);
        return identity && time(*identity) >= time(*built);
    });
}

} // namespace kestrel
