#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A first start in a fresh HOME: with no settings file the options dialog opens over the toolbar
# with the next New Year chosen and the focus on OK, so Enter gives a count that makes sense.
# Cancel keeps the built-in target; the keys written at close make a settings file, and the
# dialog does not come back at the next start.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
NOW="2026-12-07 17:45:30"

[ ! -e "$SETTINGS" ] || fail "the test needs a HOME without a settings file"
start_x
start_at "$NOW" "$KESTREL"
pid=$E2E_LAST_PID
options=$(wait_window '^Countdown Options$')
toolbar=$(wait_window '^T-')
echo "ok: the options dialog opens at a first start"
xdotool windowfocus --sync "$options"
xdotool key Return
wait_until 10 "the title does not count to the next New Year: $(xdotool getwindowname "$toolbar")" \
    eval '[ "$(xdotool getwindowname "$toolbar")" == "T-0:24:6:14:30" ]'
echo "ok: Enter gives the count to the next New Year"
expect_eq "Target_Year" "$(setting 'Target Date' Target_Year)" "2027"
xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"

# Cancel: the built-in target stays; the dialog does not come back once a settings file exists.
rm -f "$SETTINGS"
start_at "$NOW" "$KESTREL"
pid=$E2E_LAST_PID
options=$(wait_window '^Countdown Options$')
xdotool windowfocus --sync "$options"
xdotool key Escape
wait_no_window '^Countdown Options$'
toolbar=$(wait_window '^T-')
expect_eq "title after Cancel" "$(xdotool getwindowname "$toolbar")" "T--26:-341:-17:-45:-30"
xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"
[ -e "$SETTINGS" ] || fail "no settings file after the first run's close"
expect_eq "Target_Year after Cancel" "$(setting 'Target Date' Target_Year)" ""

start_at "$NOW" "$KESTREL"
pid=$E2E_LAST_PID
wait_window '^T-' >/dev/null
sleep 1
[ -z "$(visible_windows '^Countdown Options$')" ] || fail "the options dialog came back with a settings file"
echo "ok: no options dialog once a settings file exists"
echo "first run e2e: passed"
