#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# kestrel-saver as a screensaver host's hack: it draws into the window it is given (-window-id,
# XSCREENSAVER_WINDOW, or the root window with -root), follows that window's size, counts no
# input, takes no lock and ends cleanly on SIGTERM.
#
# No screen reader sees inside another program's window, so what the saver draws there is
# checked against a picture of the full-screen saver, whose captions and numbers are read
# through the accessibility bus: at the same size the two must not differ by one pixel.
SAVER="$1"
HOST_WINDOW="$2"
source "$(dirname "$0")/saver_lib.sh"

start_x
saver_points
screen=$(xdpyinfo | awk '/dimensions:/ { print $2 }')

# Waits until the saver's window inside a window has the wanted size at the window's corner.
wait_child() { # window, WIDTHxHEIGHT [seconds]
    local i child=""
    for i in $(seq 1 $((${3:-10} * 10))); do
        child=$(saver_child "$1")
        if [[ "$child" == *" $2+0+0 "* ]]; then
            return 0
        fi
        sleep 0.1
    done
    fail "saver window inside $1: got '$child', want $2+0+0"
}

# How many pixels two pictures of the same size differ in.
differing_pixels() { # picture, picture
    /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true
}

# The picture of the full-screen saver to compare with, once it no longer changes.
start_at "$SAVER_TIME" "$SAVER"
pid=$E2E_LAST_PID
wait_window "$SAVER_TITLE" >/dev/null
wait_labels "$SAVER_SHOWS"
import -window root "$E2E_TMP/full-screen.png"
for _ in $(seq 1 20); do
    sleep 0.2
    import -window root "$E2E_TMP/again.png"
    [ "$(differing_pixels "$E2E_TMP/again.png" "$E2E_TMP/full-screen.png")" == "0" ] && break
    mv "$E2E_TMP/again.png" "$E2E_TMP/full-screen.png"
done
kill -TERM "$(saver_pid "$pid")"
expect_exit "full-screen saver ends on SIGTERM" "$pid" 0 2
wait_no_window "$SAVER_TITLE"

# Waits until a window shows what the full-screen saver showed.
expect_full_screen_picture() { # what, window
    local i differ=""
    for i in $(seq 1 20); do
        import -window "$2" "$E2E_TMP/shown.png"
        differ=$(differing_pixels "$E2E_TMP/shown.png" "$E2E_TMP/full-screen.png")
        [ "$differ" == "0" ] && break
        sleep 0.2
    done
    expect_eq "$1: pixels differing from the full-screen saver" "$differ" "0"
}

# Moves the pointer over the saver's numbers and presses keys: a hack counts none of it.
expect_no_input_counted() { # what, pid, x1 y1 x2 y2
    move_between 30 "$3" "$4" "$5" "$6"
    for _ in $(seq 1 30); do
        xdotool key space
    done
    expect_running "$1: 30 moves over the numbers and 30 key presses" "$2"
}

open_host 100 150 640 400
first_host=$host
start_at "$SAVER_TIME" "$SAVER" -window-id "$first_host"
pid=$E2E_LAST_PID
wait_child "$first_host" 640x400
# The host's own background is black: the picture is the saver's once light blue fills most of it.
for _ in $(seq 1 25); do
    import -window "$first_host" "$E2E_TMP/host.png"
    histogram=$(/usr/bin/convert "$E2E_TMP/host.png" -format '%c' histogram:info:- | sort -rn)
    head -n 1 <<<"$histogram" | grep -q '#8080FF' && break
    sleep 0.2
done
head -n 1 <<<"$histogram" | grep -q '#8080FF' || fail "light blue is not the background: $(head -n 3 <<<"$histogram")"
expect_eq "picture size" "$(/usr/bin/convert "$E2E_TMP/host.png" -format '%wx%h' info:)" "640x400"
colours=$(/usr/bin/convert "$E2E_TMP/host.png" -format '%k' info:)
((colours > 20)) || fail "the picture has only $colours colours"
echo "ok: $colours colours in the picture"
grep -q '#FFFF00' <<<"$histogram" || fail "no yellow numbers: $(head -n 5 <<<"$histogram")"
grep -q '#000000' <<<"$histogram" || fail "no black captions: $(head -n 5 <<<"$histogram")"
echo "ok: light blue background, yellow numbers, black captions"
# The window is half the screen's size at (100, 150), so the numbers are at half their places.
expect_no_input_counted "inside a window" "$pid" $((100 + NUMBER_1_X / 2)) $((150 + NUMBER_1_Y / 2)) \
    $((100 + NUMBER_2_X / 2)) $((150 + NUMBER_2_Y / 2))

# A host may run one hack per screen at once: no lock between them.
open_host 800 150 320 200
second_host=$host
second_host_pid=$host_pid
start_at "$SAVER_TIME" "$SAVER" -window-id "$second_host"
second=$E2E_LAST_PID
wait_child "$second_host" 320x200
expect_running "a second saver in another window" "$second"
kill -TERM "$(saver_pid "$second")"
expect_exit "second saver ends on SIGTERM" "$second" 0 2
kill "$second_host_pid"

# The saver follows the host's window as it changes size.
xdotool windowsize "$first_host" 800 500
wait_child "$first_host" 800x500 2
echo "ok: follows the window to 800x500"
xdotool windowmove "$first_host" 0 0 windowsize "$first_host" "${screen%x*}" "${screen#*x}"
wait_child "$first_host" "$screen" 2
expect_full_screen_picture "-window-id" "$first_host"
kill -TERM "$(saver_pid "$pid")"
expect_exit "exit status on SIGTERM" "$pid" 0 2

# The window named by XSCREENSAVER_WINDOW, with -root as xscreensaver starts its hacks.
XSCREENSAVER_WINDOW=$(printf '%d' "$first_host") start_at "$SAVER_TIME" "$SAVER" -root
pid=$E2E_LAST_PID
wait_child "$first_host" "$screen"
expect_full_screen_picture "XSCREENSAVER_WINDOW" "$first_host"
kill -TERM "$(saver_pid "$pid")"
expect_exit "exit status on SIGTERM" "$pid" 0 2

# -root alone: the root window itself, with no input counted there either.
start_at "$SAVER_TIME" "$SAVER" -root
pid=$E2E_LAST_PID
wait_child root "$screen"
expect_full_screen_picture "-root" root
expect_no_input_counted "on the root window" "$pid" "$NUMBER_1_X" "$NUMBER_1_Y" "$NUMBER_2_X" "$NUMBER_2_Y"
kill -TERM "$(saver_pid "$pid")"
expect_exit "exit status on SIGTERM" "$pid" 0 2
echo "saver host e2e: passed"
