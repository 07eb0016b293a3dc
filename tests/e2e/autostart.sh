#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# "Start Kestrel when I log in" on the options dialog's page "More Options" of the real program:
# checked and Ok, kestrel.desktop appears in the autostart folder, runs this very program and
# passes desktop-file-validate; unchecked, the entry goes again.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
ENTRY="$XDG_CONFIG_HOME/autostart/kestrel.desktop"

cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2000
INI

# Opens the options dialog from the toolbar's Tools menu, turns to "More Options" (the page
# before the first, round the strip), toggles the check box by its access key and presses Ok.
toggle_start_at_login() {
    xdotool windowfocus --sync "$toolbar"
    xdotool key alt+t
    sleep 0.3
    xdotool key s
    local options
    options=$(wait_window '^Countdown Options$')
    xdotool windowfocus --sync "$options"
    xdotool key ctrl+Prior
    sleep 0.2
    xdotool key alt+k
    sleep 0.2
    xdotool key alt+o
    wait_no_window '^Countdown Options$'
}

start_x
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
toolbar=$(wait_window '^T-')
[ ! -e "$ENTRY" ] || fail "an autostart entry before the box was checked"

toggle_start_at_login
wait_until 5 "no autostart entry after the box was checked" test -f "$ENTRY"
expect_eq "Exec" "$(grep '^Exec=' "$ENTRY")" "Exec=$(readlink -f "$KESTREL")"
desktop-file-validate "$ENTRY" || fail "the autostart entry does not validate: $(cat "$ENTRY")"
echo "ok: the autostart entry appears and validates"

toggle_start_at_login
wait_until 5 "the autostart entry is still there after the box was cleared" eval '[ ! -e "$ENTRY" ]'
echo "ok: the autostart entry goes with the box"

xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"
echo "autostart e2e: passed"
