// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The milestone store with 100,000 records. Targets: loading, sorting and saving the file at most
// 150 ms together; the table at most 20 MB more than an empty one.

#include "Milestones.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace kestrel {
namespace {

constexpr int kRecords = 100000;

// A milestone file of 100,000 records in no particular order, with texts of a typical length.
std::string ShuffledFile()
{
    std::vector<int> days(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        days[static_cast<std::size_t>(i)] = 30000 + i;
    }
    std::mt19937 random(7);
    std::shuffle(days.begin(), days.end(), random);
    std::string file;
    for (int day : days) {
        file += "\" " + std::to_string(day) + "\",\"Milestone " + std::to_string(day) + "\"\r\n";
    }
    return file;
}

void BM_MilestonesLoadSortSave(benchmark::State& state)
{
    test::TempDir dir;
    const auto path = dir / "mileston.txt";
    const std::string shuffled = ShuffledFile();
    MilestoneTable table;
    for (auto _ : state) {
        state.PauseTiming();
        test::WriteFile(path, shuffled);
        state.ResumeTiming();
        if (table.LoadMilestones(path) || table.SaveMilestones(path)) {
            state.SkipWithError("the milestone file could not be read or written");
            break;
        }
    }
    state.counters["records"] = table.count();
}
BENCHMARK(BM_MilestonesLoadSortSave)->Unit(benchmark::kMillisecond);

// The heap that 100,000 loaded records take beyond an empty table, in MiB.
void BM_MilestonesMemory(benchmark::State& state)
{
    test::TempDir dir;
    const auto path = dir / "mileston.txt";
    test::WriteFile(path, ShuffledFile());
    double mib = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        {
            MilestoneTable table;
            table.LoadMilestones(path);
            (void)table.FindMilestoneOnDay(36526); // builds the day index, as the calendar does
            mib = static_cast<double>(mallinfo2().uordblks - before) / (1024.0 * 1024.0);
            benchmark::DoNotOptimize(table);
        }
    }
    state.counters["MiB"] = mib;
}
BENCHMARK(BM_MilestonesMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace kestrel
