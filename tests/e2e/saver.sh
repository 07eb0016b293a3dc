#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# kestrel-saver full screen: one window as large as the screen showing the exact countdown for
# the frozen time, and only one saver at a time on the desktop.
SAVER="$1"
source "$(dirname "$0")/saver_lib.sh"

start_x
start_at "$SAVER_TIME" "$SAVER"
first=$E2E_LAST_PID
window=$(wait_window "$SAVER_TITLE")
screen=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $NF } /Height:/ { h = $NF } END { printf "%dx%d+%d+%d", w, h, x, y }')
expect_eq "window covers the screen" "$geometry" "$screen+0+0"
wait_labels "$SAVER_SHOWS"
echo "ok: captions and numbers"
expect_eq "project title" "$(saver_text | grep -c '^ *label|Countdown to Year 2000$')" "1"

# A second saver ends at once, without a window, and leaves the first running.
start_at "$SAVER_TIME" "$SAVER"
expect_exit "second saver ends at once" "$E2E_LAST_PID" 0 3
expect_eq "windows of the saver" "$(visible_windows "$SAVER_TITLE" | wc -l)" "1"
expect_running "first saver after the second" "$first"
wait_labels "$SAVER_SHOWS"

# The lock goes with the first saver, even when it is killed outright: the next one runs.
kill -KILL "$(saver_pid "$first")"
wait_gone "$first"
wait_no_window "$SAVER_TITLE"
start_at "$SAVER_TIME" "$SAVER"
next=$E2E_LAST_PID
wait_window "$SAVER_TITLE" >/dev/null
expect_running "saver after a killed one" "$next"

# SIGTERM ends it cleanly.
kill -TERM "$(saver_pid "$next")"
expect_exit "exit status on SIGTERM" "$next" 0 2
echo "saver e2e: passed"
