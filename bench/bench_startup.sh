#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Start to first paint and peak memory of kestrel's toolbar, with a settings file present, with
# the tray off (no tray on the session bus) and on (a tray of our own, and "Keep running in the
# tray when the toolbar is closed" set), and with the countdown menu empty or listing twelve, beside the least Qt windows and kestrel-saver; replaces
# the section "Start-up and memory" of bench/RESULTS.md (bench/run.sh calls it after its own runs).
# BUILD names the build folder (default build/release); KESTREL_BENCH_ROUNDS the rounds (default
# 3) and KESTREL_BENCH_STARTS the starts of each program in a round (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build/release}"
if [ "$build" == build/release ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target bare_window first_paint kestrel kestrel-saver >/dev/null
fi
rounds="${KESTREL_BENCH_ROUNDS:-3}"
starts="${KESTREL_BENCH_STARTS:-15}"

work=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb"; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
# The one-at-a-time locks live here, away from any running desktop session's.
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME/kestrel" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# An X server of our own: it picks a free display number itself, which a fixed one (xvfb-run)
# may find taken by another run on this machine.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"

# Each round starts every program $starts times, one start of each in turn, so that a slow spell
# of the machine (other builds) touches them all alike. Tray off: the private session bus has no
# tray. Tray on: a second private bus, where a StatusNotifierWatcher of our own is the tray.
dbus-run-session -- bash -c '
    set -euo pipefail
    build="$1" rounds="$2" starts="$3" work="$4"
    settings="$XDG_CONFIG_HOME/kestrel/KESTREL.INI"
    target="[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=1\nTarget_Type=Days\nCaption_option=yy:dd:hh:mm:ss\n"
    probe="$build/bench/first_paint"
    off_bus="$DBUS_SESSION_BUS_ADDRESS"
    on_bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$work/bus.pid")
    trap "kill \$(cat \"$work/bus.pid\") 2>/dev/null || true" EXIT
    DBUS_SESSION_BUS_ADDRESS="$on_bus" /usr/bin/python3 tests/e2e/tray_watcher.py "$work/items.log" >"$work/tray.out" 2>&1 &
    tray=$!
    for _ in $(seq 1 100); do
        grep -q ready "$work/tray.out" 2>/dev/null && break
        sleep 0.1
    done
    # The countdown menu lists the countdowns of the countdowns folder: none, or twelve.
    countdowns="$XDG_CONFIG_HOME/kestrel/countdowns"
    kestrel_with() { # tray on|off, countdowns on|off
        rm -rf "$countdowns"
        if [ "$2" == on ]; then
            mkdir -p "$countdowns"
            for n in $(seq 1 12); do printf "$target" >"$countdowns/Countdown $n.INI"; done
        fi
        if [ "$1" == on ]; then
            printf "$target[Tray]\nKeep Running When Toolbar Closed=True\n" >"$settings"
            DBUS_SESSION_BUS_ADDRESS="$on_bus" "$probe" 1 "$build/exe/kestrel"
        else
            printf "$target" >"$settings"
            DBUS_SESSION_BUS_ADDRESS="$off_bus" "$probe" 1 "$build/exe/kestrel"
        fi
    }
    printf "$target" >"$settings"
    "$probe" 3 "$build/bench/bare_window" >/dev/null # warm the caches
    "$probe" 3 "$build/exe/kestrel" >/dev/null
    for round in $(seq 1 "$rounds"); do
        for _ in $(seq 1 "$starts"); do
            "$probe" 1 "$build/bench/bare_window" >>"$work/bare-$round.txt"
            "$probe" 1 "$build/bench/bare_window" --text >>"$work/text-$round.txt"
            kestrel_with off off >>"$work/tray-off-$round.txt"
            kestrel_with on off >>"$work/tray-on-$round.txt"
            kestrel_with off on >>"$work/menu-on-$round.txt"
            kestrel_with on on >>"$work/both-on-$round.txt"
            "$probe" 1 "$build/screensaver/kestrel-saver" >>"$work/saver-$round.txt"
        done
    done
    kill "$tray"
    wait "$tray" 2>/dev/null || true
    # Every start with the tray on put its icon in the tray.
    wc -l <"$work/items.log" >"$work/items.count"
' run "$build" "$rounds" "$starts" "$work"

section=$(python3 - "$work" "$rounds" "$starts" <<'PY'
import datetime, statistics, sys
work, rounds, starts = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

def rounds_of(name):
    medians_ms, medians_kib = [], []
    for r in range(1, rounds + 1):
        rows = [line.split() for line in open(f"{work}/{name}-{r}.txt") if line.strip()]
        medians_ms.append(statistics.median(float(row[0]) for row in rows))
        medians_kib.append(statistics.median(int(row[1]) for row in rows))
    return medians_ms, statistics.median(medians_ms), statistics.median(medians_kib) / 1024

programs = [
    ("bare", "bare Qt window (empty)"),
    ("text", "least Qt window with a line of text"),
    ("tray-off", "kestrel, tray off"),
    ("tray-on", "kestrel, tray on"),
    ("menu-on", "kestrel, 12 countdowns in the menu"),
    ("both-on", "kestrel, tray on and 12 countdowns"),
    ("saver", "kestrel-saver (full screen)"),
]
results = {name: rounds_of(name) for name, _ in programs}
print("## Start-up and memory")
print()
print(f"Measured {datetime.date.today().isoformat()} by `bench/bench_startup.sh` (on a machine shared with other "
      f"builds: compare programs within one run, not across runs). "
      f"Time from starting the program to the first exposure of its window, and its peak resident memory, under "
      f"Xvfb with a private session bus, measured by `bench/first_paint` from outside the program: {rounds} rounds, "
      f"each starting every program {starts} times, one start of each in turn; the median of each round, and the median of the rounds' "
      f"medians. kestrel runs with a settings file present (a target, no window records). Tray off: no tray on the "
      f"session bus. Tray on: a StatusNotifierWatcher on the bus (`tests/e2e/tray_watcher.py`) and \"Keep running in "
      f"the tray when the toolbar is closed\" set; {open(f'{work}/items.count').read().strip()} of the "
      f"{2 * rounds * starts} starts with the tray on put their icon in the tray before they were ended (about 300 ms after the first "
      f"paint). With 12 countdowns, the countdowns folder holds twelve settings files that the Countdowns menu "
      f"lists. The notification service, the calendar feed and the tray start after the toolbar's first paint. "
      f"`kestrel-saver` runs full screen (1280x800), so its memory includes a window of the screen's size.")
print()
print("| program | median of each round | median | median peak memory |")
print("|---|---|---|---|")
for name, label in programs:
    each, median, kib = results[name]
    print(f"| {label} | {' / '.join(f'{m:.1f}' for m in each)} ms | {median:.1f} ms | {kib:.1f} MiB |")
print()
tray_cost = results["tray-on"][1] - results["tray-off"][1]
text = results["text"][1]
print(f"- The tray adds {tray_cost:+.1f} ms to the median (limit 5 ms): {'met' if tray_cost <= 5 else 'NOT met'}.")
both_cost = results["both-on"][1] - results["tray-off"][1]
menu_cost = results["menu-on"][1] - results["tray-off"][1]
print(f"- The countdown menu with 12 countdowns adds {menu_cost:+.1f} ms; the tray and the menu together "
      f"{both_cost:+.1f} ms (limit 5 ms): {'met' if both_cost <= 5 else 'NOT met'}.")
print(f"- kestrel (tray off) against the least window with a line of text: {results['tray-off'][1] / text:.2f} times; "
      f"against the empty window: {results['tray-off'][1] / results['bare'][1]:.2f} times.")
print(f"- Peak memory of kestrel against the empty window: "
      f"{results['tray-off'][2] / results['bare'][2]:.2f} (tray off), {results['tray-on'][2] / results['bare'][2]:.2f} (tray on).")
print()
print("The empty window never loads the desktop's fonts; any window that shows words does, and the window with one "
      "line of text shows what that costs here.")
PY
)
python3 bench/replace_section.py "$section"
echo "$section"
