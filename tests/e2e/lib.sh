# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared steps of the end-to-end tests: a temporary HOME, an X server of our own, the program
# under a fixed clock, and checks that say what went wrong.
set -euo pipefail

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-e2e-XXXXXX")
export HOME="$E2E_TMP/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$XDG_CONFIG_HOME/kestrel" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
SETTINGS="$XDG_CONFIG_HOME/kestrel/KESTREL.INI"
# The programs run on the X server each test starts, whatever desktop the caller's environment
# names (a Wayland session sets QT_QPA_PLATFORM=wayland and WAYLAND_DISPLAY).
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY XDG_SESSION_TYPE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
E2E_PIDS=()
# Every program a test starts carries this mark, so that the clean-up signals only its own: a
# process id of a program that ended long ago may by then belong to another test's program.
export KESTREL_E2E_RUN="$E2E_TMP"

# Whether a process is one this test started (it carries the test's mark).
e2e_ours() { # pid
    tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | grep -qxF "KESTREL_E2E_RUN=$E2E_TMP"
}

e2e_cleanup() {
    local pid i alive ours=()
    # Each started program and what is left of its process group, as far as they are this test's.
    for pid in $(for pid in "${E2E_PIDS[@]}"; do echo "$pid"; pgrep -g "$pid" 2>/dev/null || true; done | sort -u); do
        if e2e_ours "$pid"; then
            ours+=("$pid")
        fi
    done
    for pid in "${ours[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    # Up to two seconds to end on their own, then they are killed.
    for i in $(seq 1 20); do
        alive=0
        for pid in "${ours[@]}"; do
            if e2e_ours "$pid"; then
                alive=1
            fi
        done
        [ "$alive" -eq 1 ] || break
        sleep 0.1
    done
    for pid in "${ours[@]}"; do
        if e2e_ours "$pid"; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    # What the programs wrote, so that a failure in CI can be understood from its output alone.
    local log
    for log in "$E2E_TMP"/*.log; do
        [ -s "$log" ] || continue
        echo "---- ${log##*/} (last 40 lines)" >&2
        tail -n 40 "$log" >&2
    done
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        import -window root "$E2E_TMP/failure.png" 2>/dev/null && cp "$E2E_TMP/failure.png" "/tmp/kestrel-e2e-failure.png" &&
            echo "screen at failure: /tmp/kestrel-e2e-failure.png" >&2
    fi
    exit 1
}

expect_eq() { # what, got, want
    [ "$2" == "$3" ] || fail "$1: got '$2', want '$3'"
    echo "ok: $1"
}

# Starts an X server for this test and points DISPLAY at it, with a session bus and the
# accessibility bus, through which the tests read what the windows show.
start_x() {
    # Xvfb picks a free display number itself and writes it to the file we give it. It must not
    # reset when its last client leaves, or a program starting just then is refused.
    local number_file="$E2E_TMP/display"
    setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
    E2E_PIDS+=("$!")
    local i
    for i in $(seq 1 200); do
        if [ -s "$number_file" ]; then
            export DISPLAY=":$(tr -d '[:space:]' <"$number_file")"
            if xdpyinfo >/dev/null 2>&1; then
                start_accessibility
                return 0
            fi
        fi
        sleep 0.05
    done
    fail "no X server could be started"
}

start_accessibility() {
    eval "$(dbus-launch --sh-syntax)"
    E2E_PIDS+=("$DBUS_SESSION_BUS_PID")
    setsid /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    E2E_PIDS+=("$!")
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# What a screen reader sees of the program now: ROLE|NAME lines, indented by depth.
screen_text() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/a11y.py" Kestrel 2>/dev/null
}

# The lines of screen_text below the window with the given title, without their indent.
window_text() { # title
    screen_text | awk -v title="frame|$1" '
        /^  frame\|/ { inside = (substr($0, 3) == title); next }
        inside { sub(/^ +/, ""); print }'
}

# Programs get their faked clock from libfaketime preloaded directly, not through the faketime
# command: that one keeps a semaphore and shared memory named after its own process id in
# /dev/shm, leaves both behind when it is killed (as each test's clean-up does), and a later
# faketime that is given the same process id then refuses to start ("sem_open: File exists").
# The monotonic clock is not faked, so Qt's timers still tick.
FAKETIME_LIB='/usr/$LIB/faketime/libfaketime.so.1'

# The FAKETIME value of a clock frozen at a local time, or starting at it and running on.
faketime_value() { # frozen|running, time
    if [ "$1" == frozen ]; then
        echo "$2"
        return 0
    fi
    local offset=$(($(date -d "$2" +%s) - $(date +%s)))
    if [ "$offset" -lt 0 ]; then echo "$offset"; else echo "+$offset"; fi
}

# Runs a command under a faked clock (frozen or running) and waits for it.
faked() { # frozen|running, time, program, args...
    local value
    value=$(faketime_value "$1" "$2")
    shift 2
    FAKETIME="$value" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$FAKETIME_LIB" "$@"
}

# Starts a program with the wall clock frozen at the given local time, in its own process group;
# $E2E_LAST_PID is the program's own process id. Its output goes to program.log, the next
# program's to program-2.log and so on: fail prints them all.
E2E_STARTS=0
start_at() { # time, program, args...
    local when="$1"
    shift
    E2E_STARTS=$((E2E_STARTS + 1))
    E2E_LAST_LOG="$E2E_TMP/program.log"
    [ "$E2E_STARTS" -eq 1 ] || E2E_LAST_LOG="$E2E_TMP/program-$E2E_STARTS.log"
    FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$FAKETIME_LIB" setsid "$@" >"$E2E_LAST_LOG" 2>&1 &
    E2E_PIDS+=("$!")
    E2E_LAST_PID=$!
}

# The ids of the visible windows whose title matches the pattern, one a line; nothing when there
# is none. xdotool gives up its walk through the window tree, with an X error and no or half an
# answer, when any window goes away during the walk (a program that has just ended, a dialog
# closing); the question is then asked again rather than taken for "no window".
visible_windows() { # pattern
    local out i
    for i in $(seq 1 100); do
        out=$(xdotool search --onlyvisible --name "$1" 2>&1) || true
        if ! grep -qv '^[0-9]*$' <<<"$out"; then
            [ -z "$out" ] || echo "$out"
            return 0
        fi
        sleep 0.02
    done
    fail "xdotool cannot list the windows: $out"
}

# Waits for a visible window whose title matches the pattern; prints its id.
wait_window() { # pattern [seconds]
    local ids deadline=$((SECONDS + ${2:-20}))
    while :; do
        ids=$(visible_windows "$1")
        if [ -n "$ids" ]; then
            head -n 1 <<<"$ids"
            return 0
        fi
        [ "$SECONDS" -le "$deadline" ] || fail "no window titled '$1' appeared"
        sleep 0.1
    done
}

# Waits until no visible window has a title matching the pattern.
wait_no_window() { # pattern [seconds]
    wait_until "${2:-5}" "a window titled '$1' is still there" no_window "$1"
}

no_window() { # pattern
    [ -z "$(visible_windows "$1")" ]
}

# Runs a command every tenth of a second until it succeeds; fails with the message after the
# given seconds.
wait_until() { # seconds, message, command...
    local deadline=$((SECONDS + $1)) message="$2"
    shift 2
    until "$@"; do
        [ "$SECONDS" -le "$deadline" ] || fail "$message"
        sleep 0.1
    done
}

# Waits until a file exists and holds the wanted bytes (compared through od so CR LF shows).
wait_file_content() { # path, want [seconds]
    local i
    for i in $(seq 1 $((${3:-10} * 10))); do
        if [ -f "$1" ] && [ "$(cat "$1")" == "$2" ]; then
            return 0
        fi
        sleep 0.1
    done
    fail "$1 holds '$(cat "$1" 2>/dev/null | od -c | head -n 5)', want '$2'"
}

# Waits until a process has ended.
wait_gone() { # pid [seconds]
    local i
    for i in $(seq 1 $((${2:-10} * 10))); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    fail "process $1 did not end"
}

# The value of a key in the settings file (first match, without regard to case).
setting() { # section, key
    awk -v section="$1" -v key="$2" '
        BEGIN { IGNORECASE = 1 }
        /^\[/ { insection = (tolower($0) == "[" tolower(section) "]"); next }
        insection {
            split($0, kv, "=")
            k = kv[1]; sub(/[ \t]+$/, "", k)
            if (tolower(k) == tolower(key)) { v = substr($0, index($0, "=") + 1); sub(/^[ \t]+/, "", v); sub(/[ \t\r]+$/, "", v); print v; exit }
        }' "$SETTINGS"
}

# Opens a stand-in window of another program ($HOST_WINDOW, which prints its id); sets $host to
# the window's id and $host_pid to its program.
open_host() { # x y width height
    local id_file="$E2E_TMP/host-$RANDOM"
    setsid "$HOST_WINDOW" "$@" >"$id_file" &
    host_pid=$!
    E2E_PIDS+=("$host_pid")
    for _ in $(seq 1 50); do
        host=$(cat "$id_file" 2>/dev/null || true)
        [ -n "$host" ] && return 0
        sleep 0.1
    done
    fail "no host window"
}

# The screen position of the middle of the first visible label with exactly that text (a day of
# the desk calendar), read from the accessibility bus: "x y".
day_position() { # label text
    /usr/bin/python3 - "$1" <<'PY'
import sys
import pyatspi

wanted = sys.argv[1]

def walk(node):
    try:
        if node.getRoleName() == "label" and node.name == wanted:
            extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if extents.width > 0:
                print(extents.x + extents.width // 2, extents.y + extents.height // 2)
                return True
        for index in range(node.childCount):
            if walk(node.getChildAtIndex(index)):
                return True
    except Exception:
        pass
    return False

desktop = pyatspi.Registry.getDesktop(0)
for index in range(desktop.childCount):
    application = desktop.getChildAtIndex(index)
    if application is not None and application.name == "Kestrel" and walk(application):
        break
PY
}

# The settings file of the calendar tests: the desk calendar open at start, counting calendar days
# to 1 January 2000, then the lines given, one per argument.
calendar_settings() { # lines...
    printf '[Forms Open]\nFormCount=1\nForm1=frmDeskCal\n[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=1\nTarget_Type=Days\n' >"$SETTINGS"
    [ "$#" -eq 0 ] || printf '%s\n' "$@" >>"$SETTINGS"
}

# Waits until the calendar of a program started on 16 December 1999 shows readable day cells.
wait_calendar() {
    wait_window '^T-16 Days Countdown Calendar$' >/dev/null
    wait_until 10 "the calendar's day cells are not readable" eval \
        '[ -n "$(window_text "T-16 Days Countdown Calendar" | grep "December 16, 1999: 16, count -16, today\$")" ]'
}

# Opens the milestone editor on a day of the open calendar by a real double-click and focuses it;
# $editor is its window.
open_editor() { # day label ("24", or "1 24" once it carries a milestone)
    local x y
    read -r x y <<<"$(day_position "$1")"
    [ -n "${x:-}" ] || fail "the day $1 is not on the accessibility bus"
    xdotool mousemove --sync "$x" "$y"
    xdotool click --repeat 2 --delay 60 1
    editor=$(wait_window '^Milestone Update Form$')
    xdotool windowfocus --sync "$editor"
}
