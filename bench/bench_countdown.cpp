// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The countdown's work on every tick: the computation and the continuous countdown file.
#include "Countdown.h"
#include "CountdownFile.h"
#include "TempDir.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kestrel;

void BM_ComputeCountdown(benchmark::State& state)
{
    const DateValue now = PackDateTime(1999, 12, 24, 15, 20, 45);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeCountdown(now, "2002", "1", "1", "WorkDays", "yy:dd:hh:mm:ss"));
    }
}
BENCHMARK(BM_ComputeCountdown);

void BM_WriteCountdownFile(benchmark::State& state)
{
    test::TempDir dir;
    ProgramSettings settings;
    settings.CountDownFile = (dir / "Kestrel.txt").string();
    settings.ContinuousSave = 1;
    const CountdownBreakdown breakdown =
        ComputeCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), "2000", "1", "1", "Days", settings.CaptionOption);
    CountdownFile file([](const std::string&, const std::string&) { std::abort(); });
    for (auto _ : state) {
        file.WriteCountdownFile(settings, breakdown);
    }
}
BENCHMARK(BM_WriteCountdownFile)->Unit(benchmark::kMicrosecond);

// The line changes its length on every write (as it does when a unit gains or loses a digit):
// the file is replaced by a new one each time.
void BM_WriteCountdownFileNewLength(benchmark::State& state)
{
    test::TempDir dir;
    ProgramSettings settings;
    settings.CountDownFile = (dir / "Kestrel.txt").string();
    CountdownBreakdown breakdown =
        ComputeCountdown(PackDateTime(1999, 12, 30, 15, 20, 45), "2000", "1", "1", "Days", settings.CaptionOption);
    CountdownFile file([](const std::string&, const std::string&) { std::abort(); });
    bool longer = false;
    for (auto _ : state) {
        breakdown.SecondsPart = longer ? 10 : 9;
        longer = !longer;
        file.WriteCountdownFile(settings, breakdown);
    }
}
BENCHMARK(BM_WriteCountdownFileNewLength)->Unit(benchmark::kMicrosecond);

} // namespace
