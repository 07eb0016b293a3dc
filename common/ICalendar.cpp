// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ICalendar.h"

#include "AtomicFile.h"
#include "RuntimeError.h"
#include "Countdown.h"
#include "NumberFormatting.h"
#include "TextEncoding.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <vector>

namespace kestrel {

namespace {

// RFC 5545 limits a physical line to 75 octets, not counting its CR LF.
constexpr std::size_t kMaxLineOctets = 75;
// The day number of 31 December 9999, the last day a date can hold.
constexpr long long kLastDayNumber = kLastMilestoneDay;
// The first day of the year 100, the first day a date value holds.
constexpr auto kFirstDayNumber = static_cast<double>(kFirstMilestoneDay);

std::string DateText(DateValue day)
{
    const DateParts parts = SplitDate(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", parts.year, parts.month, parts.day);
    return text;
}

// Whether a milestone key holds a whole day number (blanks around it allowed); a key without a
// number falls on no day.
bool HoldsDayNumber(std::string_view key)
{
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t')) {
        key.remove_prefix(1);
    }
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) {
        key.remove_suffix(1);
    }
    if (key.starts_with('-')) {
        key.remove_prefix(1);
    }
    return !key.empty() && key.size() <= 9 && key.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// An all-day event, or with a time of day (seconds after midnight) a timed one at that local
// time. 31 December 9999 has no day after it that a date can hold (nor that a four-digit DATE
// value can write): its all-day event lasts one day by a duration instead.
void AddEvent(std::string& out, const std::string& uid, std::string_view stamp, DateValue day,
              const std::string& summary, int timeOfDay = 0, std::string_view rule = {}, std::string_view property = {})
{
    out += FoldContentLine("BEGIN:VEVENT");
    out += FoldContentLine("UID:" + uid);
    out += FoldContentLine("DTSTAMP:" + std::string(stamp));
    if (timeOfDay > 0) {
        char time[16];
        std::snprintf(time, sizeof time, "T%02d%02d00", timeOfDay / 3600, timeOfDay / 60 % 60);
        out += FoldContentLine("DTSTART:" + DateText(day) + time);
    } else {
        out += FoldContentLine("DTSTART;VALUE=DATE:" + DateText(day));
        if (DayNumber(day) < kLastDayNumber) {
            out += FoldContentLine("DTEND;VALUE=DATE:" + DateText(DateAdd("d", 1, day)));
        } else {
            out += FoldContentLine("DURATION:P1D");
        }
    }
    if (!rule.empty()) {
        out += FoldContentLine("RRULE:" + std::string(rule));
    }
    if (!property.empty()) {
        out += FoldContentLine(property);
    }
    out += FoldContentLine("SUMMARY:" + CalendarText(summary));
    out += FoldContentLine("TRANSP:TRANSPARENT");
    out += FoldContentLine("END:VEVENT");
}

} // namespace

std::string CalendarText(std::string_view text)
{
    const std::string utf8 = Utf8Text(text);
    std::string escaped;
    escaped.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case ';':
            escaped += "\\;";
            break;
        case ',':
            escaped += "\\,";
            break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                ++i;
            }
            escaped += "\\n";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += c;
            break;
        default:
            escaped += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
        }
    }
    return escaped;
}

std::string FoldContentLine(std::string_view line)
{
    std::string folded;
    std::size_t limit = kMaxLineOctets;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && IsContinuationByte(line[cut])) {
            --cut;
        }
        folded.append(line.substr(0, cut));
        folded += "\r\n ";
        line.remove_prefix(cut);
        limit = kMaxLineOctets - 1; // the blank that starts a continuation line counts
    }
    folded.append(line);
    folded += "\r\n";
    return folded;
}

std::string MilestoneUid(long long dayNumber, std::string_view text, int repeat)
{
    // FNV-1a: a fixed hash, the same in every build and run.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001b3ULL;
    }
    char suffix[16] = "";
    if (repeat > 0) {
        std::snprintf(suffix, sizeof suffix, "-%d", repeat);
    }
    char uid[96];
    std::snprintf(uid, sizeof uid, "milestone-%lld-%016llx%s@kestrel", dayNumber, static_cast<unsigned long long>(hash),
                  suffix);
    return uid;
}

std::vector<CalendarEvent> CalendarEvents(const ProgramSettings& settings, const MilestoneTable& milestones,
                                          std::string_view stamp)
{
    std::vector<CalendarEvent> events;
    try {
        // A target that renews itself every year is a yearly event from the stored year on; one
        // on 29 February falls on the last day of February in common years, as the count does.
        const bool yearly = IsTrueText(settings.RenewYearly);
        const DateValue target = TargetDay(settings);
        const bool leapDay = Month(target) == 2 && std::lround(ValFromText(settings.TargetDay)) == 29;
        const char* rule = !yearly ? "" : leapDay ? "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1" : "FREQ=YEARLY";
        CalendarEvent& event = events.emplace_back(CalendarEvent{"target-" + DateText(target) + "@kestrel", {}});
        AddEvent(event.lines, event.uid, stamp, target, TargetSummary(settings.ProjectTitle),
                 TargetTimeOfDay(settings.TargetTime).value_or(0), rule);
    } catch (const RuntimeError&) {
        // A target the engine cannot count with has no day to show.
        events.clear();
    }

    std::map<std::pair<long long, std::string>, int> seen;
    for (int position = 1; position <= milestones.count(); ++position) {
        const Milestone& milestone = milestones.at(position);
        const std::optional<long long> named = MilestoneDay(milestone);
        if (!named) {
            continue;
        }
        const long long day = *named;
        const int repeat = seen[{day, milestone.text}]++;
        CalendarEvent& event = events.emplace_back(CalendarEvent{MilestoneUid(day, milestone.text, repeat), {}});
        AddEvent(event.lines, event.uid, stamp, DateValue{static_cast<double>(day)}, milestone.text);
    }
    return events;
}

std::string TargetSummary(std::string_view projectTitle)
{
    return "Target day: " + std::string(projectTitle);
}

std::optional<long long> MilestoneDay(const Milestone& milestone)
{
    // Only keys of whole day numbers in the years 100 to 9999 name a day.
    const double key = KeyValue(milestone.key);
    if (milestone.markedForRemoval || !HoldsDayNumber(milestone.key) || key < kFirstDayNumber || key > kLastDayNumber) {
        return std::nullopt;
    }
    return static_cast<long long>(key);
}

std::string SharedCalendarObject(const std::string& uid, long long day, const std::string& summary,
                                 std::string_view stamp, bool target)
{
    std::string object = CalendarHead();
    AddEvent(object, uid, stamp, DateValue{static_cast<double>(day)}, summary, 0, {},
             target ? "X-KESTREL-TARGET:TRUE" : "");
    return object + FoldContentLine("END:VCALENDAR");
}

std::string CalendarHead()
{
    return FoldContentLine("BEGIN:VCALENDAR") + FoldContentLine("VERSION:2.0") +
           FoldContentLine("PRODID:-//Kestrel//Kestrel countdown//EN") + FoldContentLine("CALSCALE:GREGORIAN");
}

std::string CalendarFile(const ProgramSettings& settings, const MilestoneTable& milestones, std::string_view stamp)
{
    std::string out = CalendarHead();
    out += FoldContentLine("X-WR-CALNAME:" + CalendarText(settings.ProjectTitle));
    for (const CalendarEvent& event : CalendarEvents(settings, milestones, stamp)) {
        out += event.lines;
    }
    out += FoldContentLine("END:VCALENDAR");
    return out;
}

std::string CalendarStampNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

void ExportCalendar(const std::filesystem::path& path, const ProgramSettings& settings,
                    const MilestoneTable& milestones)
{
    ReplaceFileContents(path, CalendarFile(settings, milestones, CalendarStampNow()));
}

} // namespace kestrel
