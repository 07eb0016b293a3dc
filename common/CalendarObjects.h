// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// What an event of the shared calendar is to Kestrel: a milestone (one all-day event), the team's
// target (the all-day event marked "X-KESTREL-TARGET:TRUE"), or anything else, which the milestone
// table cannot hold and Kestrel leaves on the server as it is.
enum class ServerEventKind : std::uint8_t
{
    Milestone,
    Target,
    Other,
};

// One event of the shared calendar as the server holds it.
struct ServerEvent
{
    std::string href; // the resource's path exactly as the server's answer gives it ("/alice/team/x.ics")
    std::string etag; // the entity tag as the server gives it, quotes included
    std::string uid;
    ServerEventKind kind = ServerEventKind::Other;
    long long day = 0; // DayNumber (Milestones.h) of DTSTART for Milestone and Target
    std::string text;  // SUMMARY unescaped, UTF-8; Milestone only
    friend bool operator==(const ServerEvent&, const ServerEvent&) = default;
};

// Reads one calendar object (the calendar-data of one resource); href and etag are left empty.
// A milestone is an object holding exactly one event and no task or journal entry, on one day of
// the years 100 to 9999 given as a DATE, lasting that day only (no end, an end on the next day,
// or a duration of one day), not repeating, its summary no longer than the milestone file holds
// in one text (kMaxMilestoneFieldBytes).
// The target is an event marked "X-KESTREL-TARGET:TRUE" with a DATE start (it may repeat). Every
// other object, however damaged, is Other; the UID is filled whenever the object has one.
ServerEvent ReadCalendarObject(std::string_view object);

} // namespace kestrel
