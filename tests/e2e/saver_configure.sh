#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# kestrel-saver asked to be configured ("/c", as screensaver control panels start it, with or
# without a window after a colon) says where its settings are made and ends when the message is
# closed; "/C" is no request to configure and runs the screensaver.
SAVER="$1"
source "$(dirname "$0")/saver_lib.sh"

start_x

# Shows the message for one command line and closes it with Return.
configure() { # argument
    start_at "$SAVER_TIME" "$SAVER" "$1"
    local pid=$E2E_LAST_PID
    local box
    box=$(wait_window "$SAVER_TITLE")
    local text=""
    for _ in $(seq 1 50); do
        text=$(saver_text)
        grep -q 'Set Target Date and Options' <<<"$text" && break
        sleep 0.2
    done
    grep -q '^ *alert|Kestrel Screensaver$' <<<"$text" || fail "$1: no message box: $text"
    grep -q 'has no settings of its own' <<<"$text" || fail "$1: message: $text"
    grep -q 'Set Target Date and Options' <<<"$text" || fail "$1: message: $text"
    grep -q '^ *push button|OK$' <<<"$text" || fail "$1: no OK button: $text"
    echo "ok: $1 shows the message"
    [ "$(xwininfo -id "$box" | awk '/Width:/ { print $NF }')" -lt 1280 ] || fail "$1: the message fills the screen"
    expect_running "$1 waits for the message to be closed" "$pid"
    xdotool windowfocus --sync "$box"
    xdotool key Return
    expect_exit "$1 ends when the message is closed" "$pid" 0
    wait_no_window "$SAVER_TITLE"
}
configure /c
configure /c:4242

# The message may stay open while the computer goes idle: the screensaver still starts.
start_at "$SAVER_TIME" "$SAVER" /c
message=$E2E_LAST_PID
wait_window "$SAVER_TITLE" >/dev/null
start_at "$SAVER_TIME" "$SAVER"
saver=$E2E_LAST_PID
# Both programs are kestrel-saver to the accessibility bus: the message's text comes first.
for _ in $(seq 1 50); do
    [[ "$(saver_labels)" == *"/$SAVER_SHOWS" ]] && break
    sleep 0.2
done
[[ "$(saver_labels)" == *"/$SAVER_SHOWS" ]] || fail "the screensaver beside the message shows: $(saver_labels)"
expect_running "the screensaver runs beside an open message" "$saver"
kill -TERM "$(saver_pid "$saver")" "$(saver_pid "$message")"
expect_exit "the screensaver ends on SIGTERM" "$saver" 0
wait_gone "$message"

start_at "$SAVER_TIME" "$SAVER" /C
pid=$E2E_LAST_PID
window=$(wait_window "$SAVER_TITLE")
wait_labels "$SAVER_SHOWS"
expect_eq "/C runs the screensaver full screen" "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')" \
    "$(xdpyinfo | awk '/dimensions:/ { print $2 }')"
kill -TERM "$(saver_pid "$pid")"
expect_exit "/C ends on SIGTERM" "$pid" 0
echo "saver configure e2e: passed"
