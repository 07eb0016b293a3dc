// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

enum class ServerEventKind : std::uint8_t
{
    Milestone,
    Target,
    Other,
};
// One event of the shared calendar as the server holds it.
struct ServerEvent
{
    std::string href; // the resource's path exactly as the server's answer gives it
    std::string etag; // the entity tag as the server gives it, quotes included
    std::string uid;
    ServerEventKind kind = ServerEventKind::Other;
    long long day = 0; // the day number of the event's day, for milestones and the target
    std::string text;  // the summary, for milestones
    friend bool operator==(const ServerEvent&, const ServerEvent&) = default;
};
// Reads one calendar object (the calendar-data of one resource); href and etag are left empty.
ServerEvent ReadCalendarObject(std::string_view object);

} // namespace kestrel
