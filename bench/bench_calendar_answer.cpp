// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Kestrel's own time to read the shared calendar from a server's answer (the network not
// counted): a whole listing of 10,000 milestone events as a sync-collection report gives it, read
// in pieces of 64 kB as they arrive, each event read into what the milestone table needs; and the
// answer to a sync whose token is current (nothing changed). Together with the merge, an
// unchanged sync must stay under 20 ms.

#include "CalendarObjects.h"
#include "DateAt.h"
#include "ICalendar.h"
#include "MultistatusReader.h"
#include "SharedCalendar.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

std::string XmlEscaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '\r':
            escaped += "&#13;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The answer as Radicale writes it for a calendar of `count` milestones.
std::string ListingOf(int count)
{
    std::string answer = "<?xml version='1.0' encoding='utf-8'?>\n<multistatus xmlns=\"DAV:\" "
                         "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><sync-token>http://radicale.org/ns/sync/"
                         "5f0c2b</sync-token>";
    for (int i = 0; i < count; ++i) {
        const long long day = 46000 + i;
        const std::string text = "Milestone number " + std::to_string(i) + ", reviewed";
        const std::string uid = MilestoneUid(day, text);
        answer += "<response><href>/team/project/" + EventResourceName(uid) + "</href><propstat><prop><getetag>\"" +
                  uid.substr(16, 16) + "\"</getetag><C:calendar-data>" +
                  XmlEscaped(SharedCalendarObject(uid, day, text, "20261207T120000Z", false)) +
                  "</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>";
    }
    return answer + "</multistatus>\n";
}

std::vector<ServerEvent> Read(const std::string& answer)
{
    MultistatusReader reader;
    std::vector<ServerEvent> events;
    const auto take = [&] {
        for (MultistatusResponse& response : reader.takeResponses()) {
            ServerEvent& event = events.emplace_back(ReadCalendarObject(response.calendarData));
            event.href = std::move(response.href);
            event.etag = std::move(response.etag);
        }
    };
    for (std::size_t at = 0; at < answer.size(); at += 64 * 1024) {
        reader.feed(QByteArrayView(answer.data() + at,
                                   static_cast<qsizetype>(std::min<std::size_t>(64 * 1024, answer.size() - at))));
        take();
    }
    reader.finish();
    take();
    return events;
}

void BM_ReadListingOf10000Events(benchmark::State& state)
{
    const std::string answer = ListingOf(10000);
    for (auto _ : state) {
        const std::vector<ServerEvent> events = Read(answer);
        if (events.size() != 10000) {
            state.SkipWithError("not every event was read");
        }
        benchmark::DoNotOptimize(events);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}
BENCHMARK(BM_ReadListingOf10000Events)->Unit(benchmark::kMillisecond);

void BM_ReadUnchangedSyncAnswer(benchmark::State& state)
{
    const std::string answer = "<?xml version='1.0' encoding='utf-8'?>\n<multistatus xmlns=\"DAV:\"><sync-token>"
                               "http://radicale.org/ns/sync/5f0c2b</sync-token></multistatus>\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(Read(answer));
    }
}
BENCHMARK(BM_ReadUnchangedSyncAnswer)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kestrel
