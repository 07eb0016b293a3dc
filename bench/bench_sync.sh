#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The shared calendar's two-way sync: merging 10,000 server events into the milestone table and
# an unchanged sync, both replayed from a recorded Radicale answer (recorded once into the build
# folder by bench/sync_radicale.py, which makes the calendar), and `kestrel --sync` against a
# real Radicale with 1,000 events (wall time). Replaces the section "Shared calendar sync" of
# bench/RESULTS.md (bench/run.sh calls it after its own runs). BUILD names the build folder
# (default build/release); KESTREL_BENCH_SYNC_EVENTS the events of the Radicale run (default 1000).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build/release}"
if [ "$build" == build/release ]; then
    cmake --preset release -DKESTREL_BENCH=ON >/dev/null
    cmake --build --preset release --target kestrel_sync_bench kestrel >/dev/null
fi
events="${KESTREL_BENCH_SYNC_EVENTS:-1000}"

# Radicale's answer to the first sync-collection report of a calendar of 10,000 events: recorded
# once (it takes about a minute) and kept in the build folder, not in the repository.
answer="$build/bench/sync-answer-10000.xml"
if [ ! -s "$answer" ] || [ ! -s "$answer.unchanged" ] || [ ! -s "$answer.json" ]; then
    echo "bench: recording Radicale's answer of 10,000 events" >&2
    python3 bench/sync_radicale.py record 10000 "$answer" >"$answer.json"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
KESTREL_SYNC_ANSWER="$answer" "$build/bench/kestrel_sync_bench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$home/sync.json" 2>/dev/null
echo "bench: kestrel --sync against Radicale with $events events" >&2
python3 bench/sync_radicale.py time "$build/exe/kestrel" "$events" >"$home/radicale.json"

section=$(python3 - "$home/sync.json" "$home/radicale.json" "$answer.json" <<'PY'
import json, sys
sync, radicale, recorded = (json.load(open(path)) for path in sys.argv[1:])
medians = {b["run_name"]: b for b in sync["benchmarks"] if b.get("aggregate_name") == "median"}

def ms(name):
    b = medians[name]
    return b["cpu_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]

merge = ms("BM_MergeTenThousandServerEvents")
plan = ms("BM_PlanSyncOfTenThousandServerEvents")
unchanged = ms("BM_UnchangedSyncOfTenThousand")
read_state = ms("BM_ReadSyncStateOfTenThousand")
plan_unchanged = ms("BM_PlanUnchangedSyncOfTenThousand")
print("## Shared calendar sync")
print()
print("Kestrel's own time (CPU) replaying recorded Radicale answers: its first sync-collection answer for a "
      f"calendar of {recorded['events']:,} all-day events ({recorded['bytes'] / 1e6:.1f} MB; Radicale took "
      f"{recorded['radicale_seconds']:.2f} s to give it with a warm cache) and its answer when nothing changed "
      f"since (Radicale: {recorded['radicale_unchanged_seconds']:.2f} s).")
print()
print("| what | median | target | met |")
print("|---|---|---|---|")
print(f"| merging 10,000 server events into the milestone table (answer read, merged with 100 own milestones, file text made) | {merge:.1f} ms | 200 ms | {'yes' if merge <= 200 else 'NO'} |")
print(f"| of which reading the answer (`MultistatusReader`, `ReadCalendarObject`) | {ms('BM_ReadTenThousandServerEvents'):.1f} ms | | |")
print(f"| of which the merge alone (`PlanSync`, `TableWithDays`) | {plan:.1f} ms | | |")
print(f"| an unchanged sync of 10,000 milestones, Kestrel's own time (settings, milestone file, state file, answer, merge) | {unchanged:.2f} ms | 20 ms | {'yes' if unchanged <= 20 else 'NO'} |")
print(f"| of which reading the state file | {read_state:.2f} ms | | |")
print(f"| of which the merge that finds nothing to do (`PlanSync`) | {plan_unchanged:.2f} ms | | |")
print()
print(f"`kestrel --sync` against Radicale on a loopback port, {radicale['events']:,} milestones, wall time, "
      "median of 3 rounds:")
print()
print("| sync | wall time |")
print("|---|---|")
print(f"| alice sends {radicale['events']:,} new milestones | {radicale['send']:.2f} s |")
print(f"| for comparison: Radicale alone taking {radicale['events']:,} PUTs from one client | {radicale['radicale_puts']:.2f} s |")
print(f"| bob receives them (first sync) | {radicale['receive']:.2f} s |")
print(f"| bob again, nothing changed | {radicale['unchanged']:.2f} s |")
print()
print("Each new milestone is one PUT, and Radicale takes longer over each as the calendar grows: sending is "
      "the server's time almost all through. The machine is shared: the replayed timings vary by about a "
      "third from run to run.")
PY
)
python3 bench/replace_section.py "$section"
echo "$section"
