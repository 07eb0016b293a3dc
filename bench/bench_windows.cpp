// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The breakdown window's display update, as the toolbar runs it on every tick.
#include "Program.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "BreakdownWindow.h"
#include "ToolbarWindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace kestrel;

void BM_BreakdownDisplayUpdate(benchmark::State& state)
{
    test::TempDir dir;
    FixedClock clock(PackDateTime(1999, 12, 30, 15, 20, 45));
    ScriptedDialogs dialogs;
    Program program(SettingsFile(dir / "KESTREL.INI"), clock, dialogs, dir.path(), dir.path());
    program.ProgramSettings = LoadProgramSettings(program.settings, dir.path());
    ToolbarWindow toolbar(program);
    toolbar.Load();
    toolbar.pressButton(Button::CountDown);
    auto* window = dynamic_cast<BreakdownWindow*>(program.windows.find(QString::fromLatin1(kCountDownName)));
    // Every tick shows new seconds, as a running countdown does.
    std::int16_t second = 0;
    for (auto _ : state) {
        program.countdown.SecondsPart = second;
        second = static_cast<std::int16_t>((second + 1) % 60);
        window->showCountdown();
    }
    window->close();
}
BENCHMARK(BM_BreakdownDisplayUpdate)->Unit(benchmark::kMicrosecond);

} // namespace
