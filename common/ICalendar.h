// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Milestones.h"
#include "ProgramSettings.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The milestones and the target day as an iCalendar file (RFC 5545) that calendar programs
// import or subscribe to: one all-day event per milestone, its text as the summary, and one for
// the target day. Every event keeps its UID from export to export while its day and text stay
// the same, so a calendar that subscribes to the file updates events rather than duplicating them.

namespace setting {
// The iCalendar file kept up to date with the milestones and the target; empty: none.
inline constexpr SettingKey CalendarFile{"Calendar", "Calendar File", "", Computed::None, WriteRule::WhenChanged};
} // namespace setting

// A TEXT value: backslash, semicolon and comma escaped with a backslash, every line break (CR LF,
// LF or CR) as "\n", other control characters as blanks. Bytes that are not UTF-8 are read as
// Latin-1, so the file is always UTF-8.
std::string CalendarText(std::string_view text);
// One content line folded as the RFC says: no physical line longer than 75 octets, each further
// one starting with a blank, never inside a UTF-8 character; every line ended by CR LF.
std::string FoldContentLine(std::string_view line);
// The UID of a milestone's event: its day number and a hash of its text; `repeat` counts earlier
// milestones with the same day and text (0 for the first), so that even those stay distinct.
std::string MilestoneUid(long long dayNumber, std::string_view text, int repeat = 0);

// The UID of the target's event in a shared calendar, which every member publishes under.
inline constexpr const char* kSharedTargetUid = "target@kestrel";
// The summary of the target day's event, in a calendar file and in a shared calendar.
std::string TargetSummary(std::string_view projectTitle);
// One event: its UID and its content lines, "BEGIN:VEVENT" to "END:VEVENT".
struct CalendarEvent
{
    std::string uid;
    std::string lines;
};
// The events of the calendar file below, the target first, then the milestones in table order.
std::vector<CalendarEvent> CalendarEvents(const ProgramSettings& settings, const MilestoneTable& milestones,
                                          std::string_view stamp);
// The first and the last day a milestone can be pinned to: 1 January 100 and 31 December 9999.
inline constexpr long long kFirstMilestoneDay = -657434;
inline constexpr long long kLastMilestoneDay = 2958465;
// The day a milestone is pinned to: its key's whole day number, when that names a day of the
// years 100 to 9999 and the record is not marked for removal; none otherwise.
std::optional<long long> MilestoneDay(const Milestone& milestone);
// One calendar object of the shared calendar holding one all-day event; `target` marks it as the
// team's target day.
std::string SharedCalendarObject(const std::string& uid, long long day, const std::string& summary,
                                 std::string_view stamp, bool target);
// The lines that open every calendar object: "BEGIN:VCALENDAR", the version, product and scale.
std::string CalendarHead();

// The whole calendar. `stamp` is the DTSTAMP of every event, UTC as "yyyymmddThhmmssZ".
// Milestones whose key names no day of the years 100 to 9999, and records marked for removal,
// are left out; a target the engine cannot count with gives no target event.
std::string CalendarFile(const ProgramSettings& settings, const MilestoneTable& milestones, std::string_view stamp);

// The present moment as a DTSTAMP.
std::string CalendarStampNow();

// Writes the calendar of the settings and the milestone table to `path`, replacing it in one step.
// Raises RuntimeError when `path` cannot be written (76 for a missing folder, 70 when writing is not
// allowed, 75 otherwise).
void ExportCalendar(const std::filesystem::path& path, const ProgramSettings& settings,
                    const MilestoneTable& milestones);

} // namespace kestrel
