# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this
# Steps shared by the screensaver's end-to-end tests (sourced after the test's own arguments are
# read). The saver always runs under the same frozen clock, with the default settings unless a
# test writes its own: 0 years, 1 day, 8 hours, 39 minutes and 15 seconds before the year 2000.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SAVER_TIME="1999-12-30 15:20:45"
SAVER_TITLE='^Kestrel Screensaver$'
SAVER_SHOWS=" Years/Days/ Hours/ Minutes/ Seconds/0/1/8/39/15/Countdown to Year 2000"

# What a screen reader sees of kestrel-saver: ROLE|NAME lines, indented by depth.
saver_text() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/a11y.py" kestrel-saver 2>/dev/null
}

# The captions and numbers the saver shows, in reading order, joined by "/".
saver_labels() {
    saver_text | grep '^ *label|' | sed 's/^ *label|//' | paste -sd'/'
}

# Waits until the saver's labels read as wanted (the accessibility bus answers late at start).
wait_labels() { # want [seconds]
    local i got=""
    for i in $(seq 1 $((${2:-10} * 5))); do
        got=$(saver_labels)
        [ "$got" == "$1" ] && return 0
        sleep 0.2
    done
    fail "saver labels: got '$got', want '$1'"
}

# The saver's process id from start_at's: the same, once it is checked to be kestrel-saver.
saver_pid() { # pid from start_at
    [ "$(ps -o comm= -p "$1")" == kestrel-saver ] || fail "process $1 is not kestrel-saver"
    echo "$1"
}

# Waits for a program started by start_at to end and checks its exit status (faketime passes
# the program's on).
expect_exit() { # what, pid, status [seconds]
    wait_gone "$2" "${4:-5}"
    local status=0
    wait "$2" || status=$?
    expect_eq "$1" "$status" "$3"
}

# Fails when the program has ended. The input sent before is handled first: a saver answers the
# accessibility bus from the same event loop that takes the input, after the input already queued,
# so two answers in a row mean it has been through that input.
expect_running() { # what, pid
    local i running_pid="$2"
    for i in 1 2; do
        wait_until 5 "$1: the saver does not answer" eval '[ -n "$(saver_text)" ] || ! kill -0 "$running_pid" 2>/dev/null'
    done
    kill -0 "$2" 2>/dev/null || fail "$1: the saver has ended"
    echo "ok: $1"
}

# The pixel of the screen at a point of the saver's design (in twips, 12240 by 8925, stretched
# to the whole screen) as "X Y".
design_point() { # left, top (twips)
    local size
    size=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
    echo "${size%x*} ${size#*x}" | awk -v x="$1" -v y="$2" '{ printf "%d %d\n", x / 12240 * $1, y / 8925 * $2 }'
}
# Middles of the number labels of the first two columns and of their unit captions, once X runs.
# Columns start at 15 and 2460 twips and are 2430 wide; captions lie from 15 to 2130 twips down,
# numbers from 2160 to 3975.
saver_points() {
    read -r NUMBER_1_X NUMBER_1_Y < <(design_point 1230 3067)
    read -r NUMBER_2_X NUMBER_2_Y < <(design_point 3675 3067)
    read -r CAPTION_1_X CAPTION_1_Y < <(design_point 1230 1072)
    read -r CAPTION_2_X CAPTION_2_Y < <(design_point 3675 1072)
}

# Moves the pointer back and forth between two points, once per call, a real motion each time;
# the pause keeps the X server from merging motions.
move_between() { # count, x1 y1 x2 y2
    local i
    for i in $(seq 1 "$1"); do
        if ((i % 2)); then xdotool mousemove "$2" "$3"; else xdotool mousemove "$4" "$5"; fi
        sleep 0.05
    done
}

# The line xwininfo gives for the saver's window among the children of a window ("root" for the
# root window): id, title, class and WIDTHxHEIGHT+X+Y relative to the parent.
saver_child() { # window id or root
    local which=(-id "$1")
    [ "$1" == root ] && which=(-root)
    timeout 5 xwininfo -children "${which[@]}" | grep -m 1 '^ *0x[0-9a-f]* "Kestrel Screensaver"' || true
}
