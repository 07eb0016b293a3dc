#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# kestrel as a native Wayland client: every window opens and closes under weston, with the exact
# countdown line in the toolbar, and a second start ends at once with status 0 while the first
# keeps running. weston runs nested in this test's X server (its headless backend has no seat, so
# no keyboard): the program is a Wayland client only, the keys are typed into weston's window
# with xdotool and reach the program through weston's seat, and the windows are found and read
# through the accessibility bus. The windows come from the program's own menus: the Tools menu
# lists every window the toolbar opens, so a new one is not left out unnoticed.
KESTREL="$1"
source "$(dirname "$0")/lib.sh"
A11Y_DO="$(dirname "$0")/a11y_do.py"

start_x
# A compositor of our own, on a socket in this test's runtime folder; pixman, as Xvfb has no GL.
setsid weston --backend=x11-backend.so --socket=wayland-kestrel-e2e --idle-time=0 --use-pixman \
    --width=1280 --height=800 >"$E2E_TMP/weston.log" 2>&1 &
weston_pid=$!
E2E_PIDS+=("$weston_pid")
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/wayland-kestrel-e2e" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$XDG_RUNTIME_DIR/wayland-kestrel-e2e" ]; then
    echo "skip: weston cannot start: $(tail -n 5 "$E2E_TMP/weston.log")"
    exit 77
fi
export WAYLAND_DISPLAY=wayland-kestrel-e2e
# The pointer inside weston's window, which then gets the keys xdotool types (no window manager
# in this X server moves the focus).
xdotool mousemove --sync 320 200

# What the program shows through the accessibility bus: the lines below the top-level window
# (frame or dialog) whose whole title matches the pattern, without their indent.
window_lines() { # title pattern
    screen_text | awk -v title="$1" '
        /^  [a-z][a-z ]*\|/ { line = substr($0, 3); sub(/^[a-z ]+\|/, "", line); inside = (line ~ "^(" title ")$"); next }
        inside { sub(/^ +/, ""); print }'
}
present() { # title pattern
    screen_text | grep -Eq "^  [a-z][a-z ]*\|($1)\$"
}
gone() { # title pattern
    ! present "$1"
}
active() { # title pattern
    /usr/bin/python3 "$A11Y_DO" active "$1"
}
shows_line() { # title pattern, line pattern
    window_lines "$1" | grep -Eq "^($2)\$"
}
menu_open() {
    screen_text | grep -q "^ *popup menu|"
}
# Runs a check every tenth of a second until it succeeds; fails after the given seconds with the
# message and what the program shows then.
wait_for() { # seconds, message, command...
    local deadline=$((SECONDS + $1)) message="$2"
    shift 2
    until "$@"; do
        [ "$SECONDS" -le "$deadline" ] || fail "$message; the program shows:
$(screen_text | head -n 80)"
        sleep 0.1
    done
}
# Does an accessibility action in a window. An action that opens a modal window is answered
# only when that window closes, so the call is not waited for: what appears tells that it acted.
act() { # title pattern, role, name, action
    /usr/bin/python3 "$A11Y_DO" do "$@" </dev/null 2>>"$E2E_TMP/a11y.log" &
    E2E_PIDS+=("$!")
}
# Types a key into a window whenever it is the active one, at most every three seconds, until the
# check succeeds. Qt holds each key until the accessibility bus has answered for it, and on a
# loaded machine a key has been seen to have no effect (Alt+T left the menu closed): such a key is
# typed again.
press_until() { # seconds, message, title pattern, key, check...
    local deadline=$((SECONDS + $1)) message="$2" title="$3" key="$4" pressed=-10
    shift 4
    until "$@"; do
        [ "$SECONDS" -le "$deadline" ] || fail "$message; the program shows:
$(screen_text | head -n 80)"
        if [ $((SECONDS - pressed)) -ge 3 ] && active "$title" 2>/dev/null; then
            xdotool key "$key"
            pressed=$SECONDS
        fi
        sleep 0.1
    done
}

TOOLBAR='T-0:1:8:39:15'
# A settings file, even an empty one, keeps the first-run options dialog away.
: >"$SETTINGS"
start_at "1999-12-30 15:20:45" env -u DISPLAY QT_QPA_PLATFORM=wayland "$KESTREL"
first=$E2E_LAST_PID
wait_for 20 "no toolbar window with the today line" shows_line "$TOOLBAR" 'label\|Today is: Dec 30, 1999 15:20:45'
echo "ok: the toolbar window under Wayland, with the today line"

# The keyboard through weston's seat: Alt+T opens the Tools menu, Escape closes it.
press_until 20 "Alt+T did not open the Tools menu" "$TOOLBAR" alt+t menu_open
press_until 20 "Escape did not close the Tools menu" "$TOOLBAR" Escape eval '! menu_open'
echo "ok: keys reach the toolbar through weston"

# Each window the menus open: the title it shows, a line it shows, and the keys that close it.
declare -A TITLE LINE CLOSE
# The windows beside the toolbar, closed by their "&Exit".
TITLE["Count Down"]='Countdown Breakdown'
LINE["Count Down"]='label\|Year 2000 Conversion Project'
CLOSE["Count Down"]=alt+e
TITLE["Calendar"]='T-2 Days Countdown Calendar'
TODAY_CELL=('.*' 'Thursday, December 30, 1999: 30, count -2, today')
LINE["Calendar"]=".*\|${TODAY_CELL[1]}"
CLOSE["Calendar"]=alt+e
TITLE["Time Calculator"]='Time Calculator'
LINE["Time Calculator"]='label\|2 Days'
CLOSE["Time Calculator"]=alt+e
# The modal ones, closed by Escape or their "&Exit".
TITLE["Set Target Date"]='Countdown Options'
LINE["Set Target Date"]='push button\|Apply'
CLOSE["Set Target Date"]=Escape
TITLE["Print Report"]='Kestrel Report'
LINE["Print Report"]='label\|Page 1 of 2'
CLOSE["Print Report"]=ctrl+q
TITLE["Kestrel Help"]='Kestrel Help'
LINE["Kestrel Help"]='push button\|Close'
CLOSE["Kestrel Help"]=Escape
TITLE["About"]='About Kestrel'
LINE["About"]='push button\|OK'
CLOSE["About"]=Escape

# Opens a window with a menu item of the toolbar, checks it, closes it with the keyboard.
open_and_close() { # menu, item
    local title="${TITLE[$2]:-}"
    [ -n "$title" ] || fail "the $1 menu has an item this test does not know: '$2'; add its window here"
    act "$TOOLBAR" "menu item" "$2" Press
    wait_for 20 "'$2' did not open a window titled '$title'" present "$title"
    wait_for 10 "the window '$title' does not show '${LINE[$2]}'" shows_line "$title" "${LINE[$2]}"
    if [ "$2" == "Calendar" ]; then
        milestone_editor "$title"
    fi
    press_until 20 "the window '$title' did not close with ${CLOSE[$2]}" "$title" "${CLOSE[$2]}" gone "$title"
    echo "ok: $1 > $2 opens '$title' under Wayland, and ${CLOSE[$2]} closes it"
}

# The milestone editor, which the calendar opens at Enter for the day that has the keyboard focus.
milestone_editor() { # calendar title
    wait_for 10 "today's cell takes no focus" /usr/bin/python3 "$A11Y_DO" focus "$1" "${TODAY_CELL[0]}" "${TODAY_CELL[1]}"
    press_until 20 "Enter on today's cell did not open the milestone editor" "$1" Return present 'Milestone Update Form'
    wait_for 10 "the milestone editor does not show its day" shows_line 'Milestone Update Form' 'label\|Enter Milestone for 30 Dec, 1999'
    press_until 20 "the milestone editor did not close with Escape" 'Milestone Update Form' Escape gone 'Milestone Update Form'
    echo "ok: Enter on the calendar's day opens the milestone editor, and Escape closes it"
}

windows=0
for menu in Tools Help; do
    items=$(/usr/bin/python3 "$A11Y_DO" menu "$TOOLBAR" "$menu") || fail "no $menu menu: $(window_lines "$TOOLBAR")"
    [ -n "$items" ] || fail "the $menu menu lists nothing"
    while IFS= read -r item; do
        open_and_close "$menu" "$item"
        windows=$((windows + 1))
    done <<<"$items"
done
expect_eq "windows opened from the menus" "$windows" "${#TITLE[@]}"

status=0
timeout 10 env -u DISPLAY QT_QPA_PLATFORM=wayland "$KESTREL" >"$E2E_TMP/second.log" 2>&1 || status=$?
expect_eq "second kestrel under Wayland: status" "$status" "0"
kill -0 "$first" 2>/dev/null || fail "the first kestrel has ended"
expect_eq "toolbar windows" "$(screen_text | grep -c '^  frame|T-0')" "1"

# The toolbar's Close ends the program.
act "$TOOLBAR" "menu item" "Close" Press
wait_gone "$first" 10
kill -TERM "$weston_pid" 2>/dev/null || true
wait_gone "$weston_pid" 10
echo "wayland e2e: passed"
