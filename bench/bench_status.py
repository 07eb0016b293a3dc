#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times a status bar's call of the countdown against date(1), side by side in one run.

Each round starts date, kestrel-status --line and kestrel --line once, in turn, with standard
output to /dev/null, and waits for each to end; the order rotates from round to round so that
none of them always runs on a cache warmed by the others. Prints a Markdown section for
bench/RESULTS.md. Usage: bench_status.py ROUNDS KESTREL_STATUS [KESTREL]
"""
import os
import statistics
import sys
import time


KESTREL_ROW = "kestrel --line (for reference: hands over to kestrel-status)"


def run_once(argv):
    devnull = os.open(os.devnull, os.O_WRONLY)
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, devnull, 1)])
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter_ns() - start
    os.close(devnull)
    if status != 0:
        sys.exit(f"{argv} ended with status {status}")
    return elapsed / 1e6


def main():
    rounds = int(sys.argv[1])
    status_program = sys.argv[2]
    kestrel = sys.argv[3] if len(sys.argv) > 3 else None
    commands = {
        "date": ["/usr/bin/date"],
        "kestrel-status --line": [status_program, "--line"],
        "kestrel-status --json": [status_program, "--json"],
    }
    if kestrel:
        commands[KESTREL_ROW] = [kestrel, "--line"]
    names = list(commands)
    times = {name: [] for name in names}
    for name in names:  # warm the page cache
        run_once(commands[name])
    for r in range(rounds):
        for k in range(len(names)):
            name = names[(r + k) % len(names)]
            times[name].append(run_once(commands[name]))
    date_ms = statistics.median(times["date"])
    print("## Status line against date")
    print()
    print(f"Wall time of one call from start to exit, {rounds} calls of each, interleaved in one run of "
          "`bench/bench_status.sh`, output to /dev/null, with a settings file holding the defaults. "
          "A status bar starts the status line every second; the target is at most 3 times `date`.")
    print()
    print("| command | median | 90th percentile | ratio to date | target met |")
    print("|---|---|---|---|---|")
    for name in names:
        values = sorted(times[name])
        median = statistics.median(values)
        p90 = values[int(len(values) * 0.9)]
        ratio = median / date_ms
        met = "" if name in ("date", KESTREL_ROW) else ("yes" if ratio <= 3 else "NO")
        print(f"| `{name}` | {median:.2f} ms | {p90:.2f} ms | {ratio:.2f} | {met} |")
    if not kestrel:
        return
    print()
    print("`kestrel --line` is the desktop program, which links the window toolkit: the dynamic loader "
          "maps those libraries before any code of the program runs, then it replaces itself with "
          "`kestrel-status`. Status bars should call `kestrel-status` directly, as the README shows.")


if __name__ == "__main__":
    main()
