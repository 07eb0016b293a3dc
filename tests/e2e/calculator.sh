#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Time Calculator of the real program under a frozen clock, reopened at start because the
# settings file records it as open: From is today, 16 December 1999, To the target, 1 January
# 2000, counted in work days as "Target_Type" says. A screen reader reads the answer, hears it
# change, and "&Copy" (Alt+C) puts exactly that text on the X clipboard.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

cat >"$SETTINGS" <<INI
[Forms Open]
FormCount=1
Form1=frmCalc
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
Target_Type=WorkDays
INI

start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
wait_window '^T-' >/dev/null
calculator=$(wait_window '^Time Calculator$')

# Sixteen days from Thursday 16 December to Saturday 1 January, less two weekends.
answer() { window_text "Time Calculator" | grep -c "^label|$1\$" || true; }
# The accessibility bus answers a moment after the window shows.
wait_until 10 "no answer on the screen reader's side" eval '[ "$(answer "12 WorkDays")" == 1 ]'
expect_eq "answer read by a screen reader" "$(answer '12 WorkDays')" "1"
# The interval box shows the interval; the date boxes are named by their labels.
boxes=$(window_text "Time Calculator" | grep -E '^(combo box|text)\|.' | paste -sd'/')
expect_eq "boxes" "$boxes" "combo box|WorkDays/text|From:/text|To:"

# "&Copy": exactly the answer, as plain text.
xdotool windowfocus --sync "$calculator"
xdotool key alt+c
clip=""
for _ in $(seq 1 30); do
    clip=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ "$clip" == "12 WorkDays" ] && break
    sleep 0.1
done
expect_eq "clipboard after Alt+C" "$clip" "12 WorkDays"
expect_eq "clipboard as plain text" "$(xclip -o -selection clipboard -t TARGETS | grep -c '^text/plain')" "1"

# "&Today" changes the answer; a screen reader is told the panel's new name. "&To:" shares its
# access key: the first Alt+T goes to the To box, the second to "&Today", and Space presses it.
events="$E2E_TMP/name-events"
/usr/bin/python3 - >"$events" 2>/dev/null <<'PY' &
import pyatspi
from gi.repository import GLib

def heard(event):
    print("%s|%s" % (event.source.getRoleName(), event.source.name or ""), flush=True)

pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
GLib.timeout_add(4000, pyatspi.Registry.stop)
GLib.idle_add(lambda: print("listening", flush=True) and False)
pyatspi.Registry.start()
PY
listener=$!
E2E_PIDS+=("$listener")
wait_until 10 "the event listener did not start" grep -q '^listening$' "$events"
xdotool windowfocus --sync "$calculator"
xdotool key alt+t
sleep 0.2
xdotool key alt+t
sleep 0.2
xdotool key space
wait "$listener" || true
expect_eq "answer after Today" "$(answer '0 WorkDays')" "1"
expect_eq "answer change announced" "$(grep -c '^label|0 WorkDays$' "$events")" "1"

# The To picker ("Ca&l..."): it drops down at the To date; Right and Enter pick the next day,
# Sunday 2 January, a third weekend crossed.
xdotool windowfocus --sync "$calculator"
xdotool key alt+y
sleep 0.2
xdotool key alt+l
sleep 0.5
xdotool key Right
sleep 0.1
xdotool key Return
wait_until 5 "answer after picking Jan 2: not 11 WorkDays" eval '[ "$(answer "11 WorkDays")" == 1 ]'
echo "ok: answer after picking Jan 2"

# An interval typed that the list does not hold, taken with Enter: the answer says to choose one
# from the list; a listed one typed the same way is counted.
xdotool windowfocus --sync "$calculator"
xdotool key alt+d
sleep 0.2
xdotool key ctrl+a
xdotool type --delay 20 Fortnights
xdotool key Return
wait_until 5 "answer after a typed Fortnights: not 'Choose an interval from the list'" \
    eval '[ "$(answer "Choose an interval from the list")" == 1 ]'
echo "ok: answer after a typed Fortnights"
xdotool key ctrl+a
xdotool type --delay 20 Days
xdotool key Return
wait_until 5 "answer after a typed Days: not 17 Days" eval '[ "$(answer "17 Days")" == 1 ]'
echo "ok: answer after a typed Days"

xdotool windowfocus --sync "$calculator"
xdotool key alt+e
wait_no_window '^Time Calculator$' 3
expect_eq "CalcWindowState after Exit" "$(setting 'Forms Position' CalcWindowState)" "0"
[ -n "$(setting 'Forms Position' CalcTop)" ] || fail "CalcTop not written"
kill -TERM -- "-$pid" 2>/dev/null || true
echo "calculator e2e: passed"
