// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a holiday calendar. Reading must never crash or hang (scripts/fuzz.sh gives
// each input a time limit); the holidays read are sorted, one a day, within the days the date
// services know, no more than the limit, and read back from the cache text as they were written.

#include "HolidayCalendars.h"
#include "Holidays.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::vector<kestrel::Holiday>> holidays = kestrel::ReadHolidayCalendarText(bytes);
    if (!holidays) {
        return 0;
    }
    if (holidays->size() > kestrel::kMaxHolidaysPerCalendar) {
        std::abort();
    }
    for (std::size_t i = 1; i < holidays->size(); ++i) {
        if ((*holidays)[i - 1].day >= (*holidays)[i].day) {
            std::abort();
        }
    }
    const auto read = kestrel::ReadHolidayCacheText(kestrel::HolidayCacheText(*holidays));
    if (!read || read->size() != holidays->size()) {
        std::abort();
    }
    return 0;
}
