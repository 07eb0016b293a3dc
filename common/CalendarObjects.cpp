// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "CalendarObjects.h"

#include "DateArithmetic.h"
#include "Milestones.h"
#include "TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace kestrel {

namespace {

// Components nest only a few levels deep (a calendar, an event, an alarm); deeper is damage.
constexpr std::size_t kMostNesting = 16;

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// One content line taken apart: its name, its parameters and its value, still escaped.
struct ContentLine
{
    std::string_view name;
    std::vector<std::pair<std::string_view, std::string_view>> parameters; // name, value (quotes removed)
    std::string_view value;

    std::optional<std::string_view> parameter(std::string_view wanted) const
    {
        for (const auto& [parameterName, parameterValue] : parameters) {
            if (SameName(parameterName, wanted)) {
                return parameterValue;
            }
        }
        return std::nullopt;
    }
};

// "NAME;PARAM=VALUE;PARAM="QUOTED":VALUE". A colon or semicolon inside a quoted parameter value
// belongs to the value. Nothing for a line without a colon.
std::optional<ContentLine> SplitContentLine(std::string_view line)
{
    ContentLine parts;
    const std::size_t nameEnd = std::min(line.find_first_of(";:"), line.size());
    parts.name = line.substr(0, nameEnd);
    std::size_t at = nameEnd;
    while (at < line.size() && line[at] == ';') {
        ++at;
        const std::size_t equals = line.find_first_of("=;:", at);
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view parameterName = line.substr(at, equals - at);
        at = equals;
        std::string_view parameterValue;
        if (line[at] == '=') {
            ++at;
            if (at < line.size() && line[at] == '"') {
                const std::size_t close = line.find('"', at + 1);
                if (close == std::string_view::npos) {
                    return std::nullopt;
                }
                parameterValue = line.substr(at + 1, close - at - 1);
                at = close + 1;
                // Further values of a list ("a","b") follow up to the next separator.
                at = std::min(line.find_first_of(";:", at), line.size());
            } else {
                const std::size_t end = std::min(line.find_first_of(";:", at), line.size());
                parameterValue = line.substr(at, end - at);
                at = end;
            }
        }
        parts.parameters.emplace_back(parameterName, parameterValue);
    }
    if (at >= line.size() || line[at] != ':') {
        return std::nullopt;
    }
    parts.value = line.substr(at + 1);
    return parts;
}

// The logical lines of an object: a line break (CR LF or LF) followed by a blank or a tab
// continues the line before.
std::vector<std::string> UnfoldedLines(std::string_view object)
{
    std::vector<std::string> lines;
    std::string current;
    bool started = false;
    std::size_t at = 0;
    while (at < object.size()) {
        std::size_t end = object.find('\n', at);
        if (end == std::string_view::npos) {
            end = object.size();
        }
        std::string_view physical = object.substr(at, end - at);
        if (physical.ends_with('\r')) {
            physical.remove_suffix(1);
        }
        at = end + 1;
        if (started && !physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
            current.append(physical.substr(1));
            continue;
        }
        if (started) {
            lines.push_back(std::move(current));
            current.clear();
        }
        current.assign(physical);
        started = true;
    }
    if (started) {
        lines.push_back(std::move(current));
    }
    return lines;
}

// A TEXT value with its escapes undone: "\n" and "\N" a line break, "\\", "\;" and "\," the
// character itself. Another backslash stays as it is, so that nothing of the text is lost.
std::string UnescapedText(std::string_view value)
{
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 'N') {
                text += '\n';
                ++i;
                continue;
            }
            if (next == '\\' || next == ';' || next == ',') {
                text += next;
                ++i;
                continue;
            }
        }
        text += value[i];
    }
    return Utf8Text(text);
}

// The day number of a DATE value ("20261224"), or nothing when the value is no day of the years
// 100 to 9999.
std::optional<long long> DateValueDay(std::string_view value)
{
    if (value.size() != 8 || value.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int result = 0;
        for (const char c : value.substr(at, length)) {
            result = result * 10 + (c - '0');
        }
        return result;
    };
    const int year = number(0, 4);
    const int month = number(4, 2);
    const int day = number(6, 2);
    if (year < 100 || month < 1 || month > 12 || day < 1) {
        return std::nullopt;
    }
    static constexpr int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDaysInMonth[month - 1] || (month == 2 && day == 29 && !leap)) {
        return std::nullopt;
    }
    return DayNumber(PackDate(year, month, day));
}

// The day of a DTSTART or DTEND that is a DATE: "VALUE=DATE" with eight digits, or eight digits
// alone. A time of day, a time zone's date-time or a damaged value is no day.
std::optional<long long> DateProperty(const ContentLine& line)
{
    if (const std::optional<std::string_view> type = line.parameter("VALUE"); type && !SameName(*type, "DATE")) {
        return std::nullopt;
    }
    return DateValueDay(line.value);
}

// What one VEVENT says that decides what it is to Kestrel.
struct EventProperties
{
    std::string uid;
    std::optional<long long> startDay;
    bool hasEnd = false;
    std::optional<long long> endDay;
    bool hasDuration = false;
    bool oneDayDuration = false;
    bool repeats = false;
    bool changesOneOccurrence = false; // RECURRENCE-ID
    bool target = false;
    std::optional<std::string> summary; // still escaped
};

void TakeProperty(EventProperties& event, const ContentLine& line)
{
    if (SameName(line.name, "UID")) {
        event.uid = std::string(line.value);
    } else if (SameName(line.name, "DTSTART")) {
        event.startDay = DateProperty(line);
    } else if (SameName(line.name, "DTEND")) {
        event.hasEnd = true;
        event.endDay = DateProperty(line);
    } else if (SameName(line.name, "DURATION")) {
        event.hasDuration = true;
        event.oneDayDuration = SameName(line.value, "P1D") || SameName(line.value, "+P1D");
    } else if (SameName(line.name, "RRULE") || SameName(line.name, "RDATE")) {
        event.repeats = true;
    } else if (SameName(line.name, "RECURRENCE-ID")) {
        event.changesOneOccurrence = true;
    } else if (SameName(line.name, "X-KESTREL-TARGET")) {
        event.target = SameName(line.value, "TRUE");
    } else if (SameName(line.name, "SUMMARY")) {
        event.summary = std::string(line.value);
    }
}

} // namespace

ServerEvent ReadCalendarObject(std::string_view object)
{
    ServerEvent read;
    std::vector<std::string> open; // the components around the line being read, outermost first
    std::vector<EventProperties> events;
    bool otherEntries = false; // a task, a journal entry or free/busy time beside the events
    bool damaged = false;
    bool calendarClosed = false;
    std::string otherUid;
    for (const std::string& text : UnfoldedLines(object)) {
        if (text.empty()) {
            continue;
        }
        const std::optional<ContentLine> line = SplitContentLine(text);
        // A line that is no content line, or anything after the calendar's end, is damage.
        if (!line || calendarClosed) {
            damaged = true;
            break;
        }
        if (SameName(line->name, "BEGIN")) {
            if (open.size() >= kMostNesting || (open.empty() && !SameName(line->value, "VCALENDAR"))) {
                damaged = true;
                break;
            }
            if (open.size() == 1) {
                if (SameName(line->value, "VEVENT")) {
                    events.emplace_back();
                } else if (!SameName(line->value, "VTIMEZONE")) {
                    otherEntries = true;
                }
            }
            open.emplace_back(line->value);
            continue;
        }
        if (SameName(line->name, "END")) {
            if (open.empty() || !SameName(open.back(), line->value)) {
                damaged = true;
                break;
            }
            open.pop_back();
            calendarClosed = open.empty();
            continue;
        }
        if (open.size() == 2 && SameName(open.back(), "VEVENT")) {
            TakeProperty(events.back(), *line);
        } else if (open.size() == 2 && otherUid.empty() && SameName(line->name, "UID")) {
            otherUid = std::string(line->value);
        }
    }
    damaged = damaged || !calendarClosed;

    read.uid = !events.empty() ? events.front().uid : otherUid;
    if (damaged || events.empty()) {
        return read;
    }
    // The team's target: the marked event that is no change of one occurrence of another.
    for (const EventProperties& event : events) {
        if (event.target && event.startDay && !event.changesOneOccurrence) {
            read.uid = event.uid;
            read.kind = ServerEventKind::Target;
            read.day = *event.startDay;
            return read;
        }
    }
    const EventProperties& event = events.front();
    if (events.size() != 1 || otherEntries || !event.startDay || event.repeats || event.changesOneOccurrence ||
        event.target) {
        return read;
    }
    const bool oneDay = event.hasEnd ? !event.hasDuration && event.endDay && *event.endDay == *event.startDay + 1
                                     : !event.hasDuration || event.oneDayDuration;
    if (!oneDay) {
        return read;
    }
    std::string text = UnescapedText(event.summary.value_or(std::string()));
    // The editor takes texts of so many characters; texts of one day joined may be longer, and
    // are milestones as long as the milestone file holds them.
    if (text.size() > kMaxMilestoneFieldBytes) {
        return read;
    }
    read.kind = ServerEventKind::Milestone;
    read.day = *event.startDay;
    read.text = std::move(text);
    return read;
}

} // namespace kestrel
