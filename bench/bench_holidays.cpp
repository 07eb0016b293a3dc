// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Work days with holidays: one count across a century of holidays, reading a large holiday
// calendar into the cache, and the status line with and without the cache.
#include "HolidayCalendars.h"
#include "Holidays.h"
#include "ProgramSettings.h"
#include "ScopedEnvironment.h"
#include "Settings.h"
#include "StatusProgram.h"
#include "TempDir.h"
#include "WorkDays.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using namespace kestrel;

// 50 holidays a year for a hundred years.
std::vector<Holiday> Century()
{
    std::vector<Holiday> holidays;
    for (int year = 1950; year < 2050; ++year) {
        for (int i = 0; i < 50; ++i) {
            holidays.push_back({DayOf(PackDate(year, 1, 1 + i * 7)), "Holiday " + std::to_string(i)});
        }
    }
    return holidays;
}

void BM_WorkDaysAcrossACentury(benchmark::State& state)
{
    const WorkCalendar calendar(WorkingWeek{}, Century());
    long long from = DayOf(PackDate(1950, 1, 1));
    const long long to = DayOf(PackDate(2049, 12, 31));
    for (auto _ : state) {
        benchmark::DoNotOptimize(calendar.workDays(from, to));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WorkDaysAcrossACentury);

// An iCalendar file of 10,000 all-day events, a thousand of them yearly rules with an exception.
std::string LargeCalendar()
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
    char line[256];
    for (int i = 0; i < 10000; ++i) {
        const int year = 1900 + i / 100;
        const int month = 1 + i % 12;
        const int day = 1 + i % 28;
        std::snprintf(line, sizeof line,
                      "BEGIN:VEVENT\r\nUID:%d@bench\r\nDTSTART;VALUE=DATE:%04d%02d%02d\r\nSUMMARY:Holiday %d\r\n", i,
                      year, month, day, i);
        text += line;
        if (i % 10 == 0) {
            std::snprintf(line, sizeof line, "RRULE:FREQ=YEARLY;COUNT=5\r\nEXDATE;VALUE=DATE:%04d%02d%02d\r\n",
                          year + 1, month, day);
            text += line;
        }
        text += "END:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

void BM_BuildCacheFromTenThousandEvents(benchmark::State& state)
{
    test::TempDir dir;
    const std::filesystem::path calendar = dir / "holidays.ics";
    test::WriteFile(calendar, LargeCalendar());
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildHolidayCache(dir / "cache.txt", {calendar}));
    }
}
BENCHMARK(BM_BuildCacheFromTenThousandEvents)->Unit(benchmark::kMillisecond);

// What kestrel-status does for one line: read the settings (and with holidays the cache), count.
void BM_StatusLine(benchmark::State& state)
{
    test::TempDir dir;
    const test::ScopedEnvironment cache("XDG_CACHE_HOME", (dir / "cache").string());
    const std::filesystem::path settingsPath = dir / "KESTREL.INI";
    test::WriteFile(settingsPath, std::string("[Target Date]\nTarget_Year=2030\nTarget_Type=WorkDays\n[Work Days]\n") +
                                      (state.range(0) != 0 ? "Use Holidays=True\n" : ""));
    WriteHolidayCache(HolidayCachePath(settingsPath), MergeHolidays(Century()));
    const SettingsFile file(settingsPath);
    const DateValue now = PackDateTime(1999, 12, 24, 15, 20, 45);
    for (auto _ : state) {
        benchmark::DoNotOptimize(StatusText(StatusFormat::Line, LoadProgramSettings(file, dir.path()), now));
    }
}
BENCHMARK(BM_StatusLine)->Arg(0)->Arg(1)->ArgName("holidays");

} // namespace
