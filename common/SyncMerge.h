// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CalendarObjects.h"
#include "Milestones.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// The two-way sync of the milestone table with the team's shared calendar. The calendar and the
// report show one milestone per day, so the day is what a milestone is: each side's table is read
// as one text per day, and every sync merges three of them, the table as last synced (the base),
// the local milestone file and the server's events, day by day.

// The milestones by day: the texts of the records of one day joined (see JoinTexts).
using DayTexts = std::map<long long, std::string>;

// Two texts of one day as one: "first / second". A part of the second that the first already
// holds is not added again, so that joining what was joined before changes nothing.
std::string JoinTexts(std::string_view first, std::string_view second);

// The records of a table that name a day, by day.
DayTexts TableDays(const MilestoneTable& table);
// The table with the days of `days`: records whose day keeps its text stay as they are, records
// that name no day stay too, and a day with a new text gets one record.
MilestoneTable TableWithDays(const MilestoneTable& table, const DayTexts& days);

// One day of a merge: its text, none when it has no milestone, and whether both sides changed it
// since the base (their texts are then joined, the local one first).
struct DayMerge
{
    std::optional<std::string> text;
    bool conflict = false;
};
// A side's change wins over an unchanged side; a milestone removed on one side and changed on the
// other is kept; two changes are joined.
DayMerge MergeDay(const std::optional<std::string>& base, const std::optional<std::string>& local,
                  const std::optional<std::string>& remote);
struct DaysMerge
{
    DayTexts days;
    std::vector<long long> conflicts;
};
DaysMerge MergeDays(const DayTexts& base, const DayTexts& local, const DayTexts& remote);

// What a countdown keeps between syncs with its shared calendar.
struct SyncState
{
    // The server's sync-token after the last read; empty: the next read is a full one.
    std::string token;
    // The server's events as last read, by href.
    std::map<std::string, ServerEvent> remote;
    // The milestones and the target day as both sides last agreed on them: the base of a merge.
    DayTexts base;
    std::optional<long long> baseTarget;
    // The milestone file the base was agreed with: the base says nothing of another file (the
    // countdown's "Project File" changed), whose sync is then a full one that deletes nothing.
    std::string milestoneFile;
    friend bool operator==(const SyncState&, const SyncState&) = default;
};
// Reads a state file; a missing or damaged one, or one from before two-way sync, reads as empty
// (the next sync is a full one that unites both sides and deletes nothing).
SyncState ReadSyncState(const std::filesystem::path& path);
std::string SyncStateText(const SyncState& state);

// The server's milestones by day (the texts of the events of one day joined in href order) and
// its target day (of the first target event in href order).
DayTexts RemoteDays(const SyncState& state);
std::optional<long long> RemoteTarget(const SyncState& state);

// Takes a read of the server into the state: a full read replaces the events, a delta changes
// and removes those it names.
void TakeServerRead(SyncState& state, bool complete, const std::vector<ServerEvent>& changed,
                    const std::vector<std::string>& removed, std::string token);

// One change to make on the server.
struct SyncRequest
{
    enum class Verb : std::uint8_t
    {
        Put,
        Delete,
    };
    Verb verb = Verb::Put;
    // The event's href; empty for a new event, which is named after its UID in the calendar.
    std::string href;
    // The entity tag the server must still hold for the change to be made; empty for a new event,
    // which must not replace one of the same name.
    std::string etag;
    std::string uid;
    bool target = false;
    long long day = 0;
    std::string text;
    friend bool operator==(const SyncRequest&, const SyncRequest&) = default;
};

// The local side of a sync: the milestone file's days and the settings' target day.
struct LocalSide
{
    DayTexts days;
    std::optional<long long> target;
};

struct SyncPlan
{
    DayTexts days;                     // the milestone table after the merge
    std::vector<long long> conflicts;  // days whose texts were joined
    std::optional<long long> target;   // the target day the server brings, to be taken here
    std::vector<SyncRequest> requests; // what to send, none when the calendar may only be read
};
// Merges the state's server events with the local side over the state's base. Local changes go
// to the server only when it may be written. The team's target day is taken from the server when
// only the server changed it, or when this countdown never synced before (a new member takes the
// team's target); otherwise a target changed here is sent. Several events of one day become one.
SyncPlan PlanSync(const SyncState& state, const LocalSide& local, bool canWrite);

// Once the local files hold the plan, the base is what the server holds; each request made then
// moves it (RecordRequest), so that a request that never reached the server is made at the next
// sync.
void AgreeWithServer(SyncState& state);
// Records a request the server took: `href` where the event now is, `etag` its new entity tag.
void RecordRequest(SyncState& state, const SyncRequest& request, const std::string& href, const std::string& etag);

} // namespace kestrel
