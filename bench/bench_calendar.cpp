// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The desk calendar's month fill with 100,000 milestones in the table. Target: at most 1 ms.

#include "DeskCalendarModel.h"

#include <benchmark/benchmark.h>

namespace kestrel {
namespace {

void BM_FillMonth100000Milestones(benchmark::State& state)
{
    MilestoneTable table;
    for (int i = 0; i < 100000; ++i) {
        table.PutMilestone(0, DateValue{30000.0 + i}, "Milestone");
    }
    const CalendarTarget target = CalendarTargetFrom("2000", "1", "1", "WorkDays");
    const DateValue today = PackDateTime(1999, 12, 16, 10, 0, 0);
    (void)table.FindMilestoneOnDay(0); // the day index is built once after a load, as in the program
    int month = 0;
    for (auto _ : state) {
        const MonthGrid grid = FillMonth({1999, 1 + month}, target, table, today);
        month = (month + 1) % 12;
        benchmark::DoNotOptimize(grid);
    }
}
BENCHMARK(BM_FillMonth100000Milestones)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kestrel
