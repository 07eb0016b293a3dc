// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The shared calendar's two-way sync, replayed from recorded server answers so that only
// Kestrel's own time counts. Targets: merging the 10,000 events of a first sync into the
// milestone table at most 200 ms; an unchanged sync of 10,000 milestones at most 20 ms.
//
// KESTREL_SYNC_ANSWER names Radicale's answer to a first sync-collection report of a calendar of
// 10,000 events, and FILE.unchanged its answer to the next report when nothing changed
// (bench/sync_radicale.py records both; bench/bench_sync.sh does it once per build folder).
// Without it, answers of the same form are made here.
#include "CalendarObjects.h"
#include "DateArithmetic.h"
#include "Milestones.h"
#include "MultistatusReader.h"
#include "ProgramSettings.h"
#include "Settings.h"
#include "SyncMerge.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kestrel {
namespace {

constexpr int kEvents = 10000;
constexpr long long kFirstDay = 46392; // 5 January 2027
// The pieces in which the network hands an answer over.
constexpr std::size_t kPiece = 16 * 1024;

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Radicale's answer to a first sync-collection report, as bench/sync_radicale.py records it.
std::string MadeFirstAnswer()
{
    std::string answer = "<?xml version='1.0' encoding='utf-8'?>\n<multistatus xmlns=\"DAV:\" "
                         "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><sync-token>http://radicale.org/ns/sync/"
                         "first</sync-token>";
    char piece[1024];
    for (int i = 0; i < kEvents; ++i) {
        const DateParts date = SplitDate(PackDate(2027, 1, 5 + i));
        const DateParts next = SplitDate(PackDate(2027, 1, 6 + i));
        std::snprintf(piece, sizeof piece,
                      "<response><href>/team/project/event-%d.ics</href><propstat><prop><getetag>\"%064d\"</getetag>"
                      "<C:calendar-data>BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//a calendar program//EN\nBEGIN:VEVENT\n"
                      "UID:event-%d\nDTSTART;VALUE=DATE:%04d%02d%02d\nDTEND;VALUE=DATE:%04d%02d%02d\n"
                      "DTSTAMP:20261207T120000Z\nSUMMARY:Milestone %d\nEND:VEVENT\nEND:VCALENDAR\n</C:calendar-data>"
                      "</prop><status>HTTP/1.1 200 OK</status></propstat></response>",
                      i, i, i, date.year, date.month, date.day, next.year, next.month, next.day, i);
        answer += piece;
    }
    return answer + "</multistatus>";
}

struct Answers
{
    std::string first;
    std::string unchanged;
};

const Answers& RecordedAnswers()
{
    static const Answers answers = [] {
        const char* path = std::getenv("KESTREL_SYNC_ANSWER");
        if (path != nullptr && *path != '\0') {
            return Answers{ReadWhole(path), ReadWhole(std::string(path) + ".unchanged")};
        }
        return Answers{MadeFirstAnswer(), "<?xml version='1.0' encoding='utf-8'?>\n<multistatus xmlns=\"DAV:\">"
                                          "<sync-token>http://radicale.org/ns/sync/first</sync-token></multistatus>"};
    }();
    return answers;
}

// What reading a listing does with an answer as it arrives: each finished response becomes a
// server event; the calendar itself is left out.
struct Listing
{
    std::vector<ServerEvent> events;
    std::string token;
};
Listing ReadListing(const std::string& answer)
{
    Listing listing;
    MultistatusReader reader;
    const auto take = [&] {
        for (MultistatusResponse& response : reader.takeResponses()) {
            if (response.href.ends_with('/')) {
                continue;
            }
            ServerEvent event = ReadCalendarObject(response.calendarData);
            event.href = std::move(response.href);
            event.etag = std::move(response.etag);
            listing.events.push_back(std::move(event));
        }
    };
    for (std::size_t at = 0; at < answer.size(); at += kPiece) {
        reader.feed(QByteArrayView(answer.data() + at, static_cast<qsizetype>(std::min(kPiece, answer.size() - at))));
        take();
    }
    reader.finish();
    take();
    listing.token = reader.syncToken();
    return listing;
}

// A member's own milestones on days the calendar does not hold yet.
MilestoneTable OwnMilestones(int count)
{
    MilestoneTable table;
    for (int i = 0; i < count; ++i) {
        table.PutMilestone(0, PackDate(2020, 1, 1 + i), "Own milestone " + std::to_string(i));
    }
    return table;
}

// A member with 100 milestones of their own syncs for the first time with a calendar of 10,000
// events: the answer is read, merged with the table, and the new table's file bytes made (the
// write to disk not counted).
void BM_MergeTenThousandServerEvents(benchmark::State& state)
{
    const std::string& answer = RecordedAnswers().first;
    const MilestoneTable own = OwnMilestones(100);
    std::size_t requests = 0;
    std::size_t days = 0;
    for (auto _ : state) {
        Listing listing = ReadListing(answer);
        SyncState sync;
        TakeServerRead(sync, true, listing.events, {}, std::move(listing.token));
        const SyncPlan plan = PlanSync(sync, LocalSide{TableDays(own), DayNumber(PackDate(2030, 1, 1))}, true);
        const MilestoneTable merged = TableWithDays(own, plan.days);
        benchmark::DoNotOptimize(MilestoneFileText(merged));
        requests = plan.requests.size();
        days = plan.days.size();
    }
    state.counters["days"] = static_cast<double>(days);
    state.counters["requests"] = static_cast<double>(requests);
    if (days != kEvents + 100) {
        state.SkipWithError("the merged table does not hold every day of both sides");
    }
}
BENCHMARK(BM_MergeTenThousandServerEvents)->Unit(benchmark::kMillisecond);

// Reading the answer alone: the multi-status as it arrives, and each event's calendar data.
void BM_ReadTenThousandServerEvents(benchmark::State& state)
{
    const std::string& answer = RecordedAnswers().first;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadListing(answer));
    }
}
BENCHMARK(BM_ReadTenThousandServerEvents)->Unit(benchmark::kMillisecond);

// The merge alone, the server's events already read.
void BM_PlanSyncOfTenThousandServerEvents(benchmark::State& state)
{
    Listing listing = ReadListing(RecordedAnswers().first);
    SyncState sync;
    TakeServerRead(sync, true, listing.events, {}, std::move(listing.token));
    const MilestoneTable own = OwnMilestones(100);
    for (auto _ : state) {
        const SyncPlan plan = PlanSync(sync, LocalSide{TableDays(own), DayNumber(PackDate(2030, 1, 1))}, true);
        benchmark::DoNotOptimize(TableWithDays(own, plan.days));
    }
}
BENCHMARK(BM_PlanSyncOfTenThousandServerEvents)->Unit(benchmark::kMillisecond);

// A sync when nothing changed on either side, with 10,000 milestones: the settings, the milestone
// file and the state file are read, the server's answer (no changes, the same token) is read and
// merged, and nothing is left to send or to write.
void BM_UnchangedSyncOfTenThousand(benchmark::State& state)
{
    test::TempDir dir;
    Listing first = ReadListing(RecordedAnswers().first);
    SyncState agreed;
    TakeServerRead(agreed, true, first.events, {}, std::move(first.token));
    const SyncPlan firstPlan = PlanSync(agreed, LocalSide{{}, std::nullopt}, true);
    AgreeWithServer(agreed);
    const std::filesystem::path statePath = dir / "shared-calendar.state";
    const std::filesystem::path milestonePath = dir / "mileston.txt";
    const std::filesystem::path settingsPath = dir / "KESTREL.INI";
    test::WriteFile(statePath, SyncStateText(agreed));
    test::WriteFile(milestonePath, MilestoneFileText(TableWithDays(MilestoneTable(), firstPlan.days)));
    test::WriteFile(settingsPath, "[Target Date]\r\nTarget_Year=2030\r\nTarget_Month=1\r\nTarget_Day=1\r\n"
                                  "[Shared Calendar]\r\nCalendar URL=https://calendar.example.org/team/project/\r\n"
                                  "User Name=bob\r\nShare Milestones=True\r\nPassword File=/nonexistent\r\n");
    const std::string& unchanged = RecordedAnswers().unchanged;
    SyncState sync;
    SyncPlan plan;
    DayTexts local;
    for (auto _ : state) {
        const SettingsFile settingsFile(settingsPath);
        const ProgramSettings settings = LoadProgramSettings(settingsFile, dir.path());
        benchmark::DoNotOptimize(settings);
        sync = ReadSyncState(statePath);
        MilestoneTable table;
        benchmark::DoNotOptimize(table.LoadMilestones(milestonePath));
        Listing listing = ReadListing(unchanged);
        TakeServerRead(sync, false, listing.events, {}, std::move(listing.token));
        local = TableDays(table);
        plan = PlanSync(sync, LocalSide{local, sync.baseTarget}, true);
        // Whether the milestone file must be written.
        benchmark::DoNotOptimize(plan.days == local);
    }
    // Nothing to send, nothing to write to the milestone file or the state file.
    if (!plan.requests.empty() || !plan.conflicts.empty() || plan.days != local ||
        SyncStateText(sync) != ReadWhole(statePath.string())) {
        state.SkipWithError("an unchanged sync would send or write something");
    }
}
BENCHMARK(BM_UnchangedSyncOfTenThousand)->Unit(benchmark::kMillisecond);

// The parts of an unchanged sync: reading the state file, and the merge that finds nothing to do.
SyncState AgreedState()
{
    Listing first = ReadListing(RecordedAnswers().first);
    SyncState agreed;
    TakeServerRead(agreed, true, first.events, {}, std::move(first.token));
    AgreeWithServer(agreed);
    return agreed;
}

void BM_ReadSyncStateOfTenThousand(benchmark::State& state)
{
    test::TempDir dir;
    test::WriteFile(dir / "shared-calendar.state", SyncStateText(AgreedState()));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadSyncState(dir / "shared-calendar.state"));
    }
}
BENCHMARK(BM_ReadSyncStateOfTenThousand)->Unit(benchmark::kMillisecond);

void BM_PlanUnchangedSyncOfTenThousand(benchmark::State& state)
{
    const SyncState agreed = AgreedState();
    const DayTexts local = RemoteDays(agreed);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlanSync(agreed, LocalSide{local, agreed.baseTarget}, true));
    }
}
BENCHMARK(BM_PlanUnchangedSyncOfTenThousand)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel
