#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# How much input ends kestrel-saver: 26 movements of the mouse over the numbers leave it running
# and the 27th ends it; over the unit captions the 6th ends it; clicks on a caption do not count,
# key presses and clicks on a number count with the movements.
#
# Before each saver starts, the pointer is parked on a label: a window mapped under a still
# pointer gets no motion event, so each move the test makes is exactly one motion over a label
# and the counts are exact.
SAVER="$1"
source "$(dirname "$0")/saver_lib.sh"

start_x
saver_points

# Starts a saver with the pointer already at a point; sets $pid.
start_saver_at() { # x, y
    xdotool mousemove "$1" "$2"
    start_at "$SAVER_TIME" "$SAVER"
    pid=$E2E_LAST_PID
    wait_window "$SAVER_TITLE" >/dev/null
    wait_labels "$SAVER_SHOWS"
}

start_saver_at "$NUMBER_1_X" "$NUMBER_1_Y"
move_between 26 "$NUMBER_2_X" "$NUMBER_2_Y" "$NUMBER_1_X" "$NUMBER_1_Y"
expect_running "26 moves over the numbers" "$pid"
move_between 1 "$NUMBER_2_X" "$NUMBER_2_Y"
expect_exit "the 27th move ends the saver" "$pid" 0
wait_no_window "$SAVER_TITLE"

# Qt makes a motion of its own out of the first click at a place it has seen no movement to, so
# the clicks come after a first move.
start_saver_at "$CAPTION_1_X" "$CAPTION_1_Y"
move_between 1 "$CAPTION_2_X" "$CAPTION_2_Y"
for i in $(seq 1 30); do
    xdotool click 1
    sleep 0.02
done
expect_running "a move and 30 clicks on a caption" "$pid"
move_between 4 "$CAPTION_1_X" "$CAPTION_1_Y" "$CAPTION_2_X" "$CAPTION_2_Y"
expect_running "5 moves over the captions" "$pid"
move_between 1 "$CAPTION_1_X" "$CAPTION_1_Y"
expect_exit "the 6th move over a caption ends the saver" "$pid" 0
wait_no_window "$SAVER_TITLE"

# Keys reach the saver whatever had the focus: it takes the keyboard. The clicks are further
# apart than a double click, whose second press Qt delivers as a double click instead.
start_saver_at "$NUMBER_1_X" "$NUMBER_1_Y"
move_between 1 "$NUMBER_2_X" "$NUMBER_2_Y"
for i in $(seq 1 20); do
    xdotool key space
done
for i in $(seq 1 5); do
    xdotool click 1
    sleep 0.5
done
expect_running "a move, 20 key presses and 5 clicks on a number" "$pid"
xdotool click 1
expect_exit "the 27th, a click, ends the saver" "$pid" 0
echo "saver input e2e: passed"
