// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a calendar server's listing, arriving in pieces of varying sizes (chosen from
// the bytes themselves, so that a run repeats). Reading must never crash or hang; every event's
// calendar data then goes through the reader of calendar objects, and so do the bytes themselves.
// What is read keeps to its limits: no calendar data over the limit, milestones on days of the
// years 100 to 9999 with texts no longer than a milestone's.

#include "CalendarObjects.h"
#include "Milestones.h"
#include "MultistatusReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// The first and last day a milestone may fall on (1 January 100, 31 December 9999).
constexpr long long kFirstDay = -657434;
constexpr long long kLastDay = 2958465;

void CheckObject(std::string_view object)
{
    const kestrel::ServerEvent event = kestrel::ReadCalendarObject(object);
    if (!event.href.empty() || !event.etag.empty()) {
        std::abort();
    }
    if (event.kind == kestrel::ServerEventKind::Other && (event.day != 0 || !event.text.empty())) {
        std::abort();
    }
    if (event.kind != kestrel::ServerEventKind::Other && (event.day < kFirstDay || event.day > kLastDay)) {
        std::abort();
    }
    if (event.text.size() > 4 * kestrel::kMaxMilestoneTextCharacters) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckObject(bytes);

    kestrel::MultistatusReader reader;
    const auto takeResponses = [&reader] {
        for (const kestrel::MultistatusResponse& response : reader.takeResponses()) {
            if (response.calendarData.size() > kestrel::kMostCalendarDataBytes ||
                (response.calendarDataTooLong && !response.calendarData.empty())) {
                std::abort();
            }
            CheckObject(response.calendarData);
        }
    };
    std::uint32_t state = static_cast<std::uint32_t>(size) * 2654435761U;
    for (std::size_t at = 0; at < size;) {
        state = state * 1103515245U + 12345U + (size > 0 ? data[at] : 0);
        const std::size_t piece = std::min<std::size_t>(1 + (state >> 16) % 97, size - at);
        reader.feed(QByteArrayView(bytes.data() + at, static_cast<qsizetype>(piece)));
        takeResponses();
        at += piece;
    }
    reader.finish();
    takeResponses();
    return 0;
}
