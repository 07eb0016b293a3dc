#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Work days with holidays: one count across a century of holidays, a holiday calendar of 10,000
# events read into the cache, and kestrel-status with a century of cached holidays against
# without; replaces the section "Work days with holidays" of bench/RESULTS.md (bench/run.sh calls
# it after its own runs). BUILD names the build folder (default build/release);
# KESTREL_BENCH_STATUS_ROUNDS the calls of kestrel-status each way (default 400).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build/release}"
if [ "$build" == build/release ]; then
    cmake --preset release -DKESTREL_BENCH=ON >/dev/null
    cmake --build --preset release --target kestrel_holiday_bench kestrel-status >/dev/null
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
"$build/bench/kestrel_holiday_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json >"$home/holidays.json" 2>/dev/null

export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache"
mkdir -p "$XDG_CONFIG_HOME/kestrel"
section=$(python3 - "$home" "$build/exe/kestrel-status" "${KESTREL_BENCH_STATUS_ROUNDS:-400}" <<'PY'
import datetime, json, os, statistics, subprocess, sys, time
home, status, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
settings = os.path.join(home, ".config/kestrel/KESTREL.INI")

def cache_path():
    h = 14695981039346656037
    for c in os.path.abspath(settings).encode():
        h = ((h ^ c) * 1099511628211) % 2**64
    return os.path.join(home, ".cache/kestrel", "holidays-%016x.txt" % h)

# A century of 50 holidays a year, as the cache holds them.
base = datetime.date(1899, 12, 30)
days = sorted({((datetime.date(y, 1, 1) + datetime.timedelta(days=i * 7)) - base).days: "Holiday %d" % i
               for y in range(1950, 2050) for i in range(50)}.items())
os.makedirs(os.path.dirname(cache_path()), exist_ok=True)
with open(cache_path(), "w") as cache:
    cache.write("Kestrel holidays 1\n" + "".join("%d\t%s\n" % d for d in days))

def timed(use):
    with open(settings, "w") as f:
        f.write("[Target Date]\nTarget_Year=2030\nTarget_Type=WorkDays\n[Work Days]\nUse Holidays=%s\n" % use)
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        subprocess.run([status, "--line"], stdout=subprocess.DEVNULL, check=True)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)

without = timed("False")
with_cache = timed("True")
medians = {b["run_name"]: b for b in json.load(open(os.path.join(home, "holidays.json")))["benchmarks"]
           if b.get("aggregate_name") == "median"}
def us(name):
    b = medians[name]
    return b["real_time"] * {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
count = us("BM_WorkDaysAcrossACentury")
build = us("BM_BuildCacheFromTenThousandEvents") / 1000
ratio = with_cache / without
print("## Work days with holidays")
print()
print("| what | median | target | met |")
print("|---|---|---|---|")
print(f"| one work-day count across 100 years with 50 holidays a year | {count:.3f} µs | 5 µs | {'yes' if count <= 5 else 'NO'} |")
print(f"| a holiday calendar of 10,000 events read with libical and the cache written (flushed) | {build:.1f} ms | 250 ms | {'yes' if build <= 250 else 'NO'} |")
print(f"| `kestrel-status --line` without holidays, {rounds} runs | {without:.2f} ms | | |")
print(f"| `kestrel-status --line` with 5,000 cached holidays | {with_cache:.2f} ms | 1.2 x without | {'yes' if ratio <= 1.2 else 'NO'} ({ratio:.2f} x) |")
PY
)
python3 bench/replace_section.py "$section"
echo "$section"
