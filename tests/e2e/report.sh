#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The report window of the real program: opened from the toolbar's Tools menu, it shows the
# report of the present month to the target with the page label read through the accessibility
# bus; the countdown in the toolbar's title stands still while it is open; "&Exit" stores its place.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

cat >"$SETTINGS" <<INI
[Target Date]
Target_Type=WorkDays
INI
mkdir -p "$XDG_DATA_HOME/kestrel"
printf '" 36525","Last backup"\r\n' >"$XDG_DATA_HOME/kestrel/mileston.txt"

# What a screen reader sees of the report window (a dialog, not a frame).
report_text() {
    screen_text | awk '/^  [^ ]/ { inside = (substr($0, 3) == "dialog|Kestrel Report"); next }
        inside { sub(/^ +/, ""); print }'
}

start_x
# The clock starts on 10 November 1999 and runs on, so the title changes every second.
FAKETIME="$(faketime_value running "1999-11-10 15:20:45")" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$FAKETIME_LIB" \
    setsid "$KESTREL" >"$E2E_TMP/program.log" 2>&1 &
E2E_PIDS+=("$!")
pid=$!
toolbar=$(wait_window '^T-')

# "&Tools", "&Print Report".
xdotool windowfocus --sync "$toolbar"
xdotool key alt+t
sleep 0.3
xdotool key p
report=$(wait_window '^Kestrel Report$')

label=""
for _ in $(seq 1 50); do
    label=$(report_text | grep -x 'label|Page [0-9]* of [0-9]*' || true)
    [ -n "$label" ] && break
    sleep 0.1
done
expect_eq "page label" "$label" "label|Page 1 of 3"

before=$(xdotool getwindowname "$toolbar")
sleep 2.2
expect_eq "title while the report is open" "$(xdotool getwindowname "$toolbar")" "$before"

# Next page, then "&Exit".
xdotool windowfocus --sync "$report"
xdotool key Next
wait_until 5 "page label after Page Down: not Page 2 of 3" eval \
    '[ "$(report_text | grep -x "label|Page [0-9]* of [0-9]*")" == "label|Page 2 of 3" ]'
echo "ok: page label after Page Down"
xdotool key ctrl+q
wait_no_window '^Kestrel Report$'
[ -n "$(setting 'Forms Position' ReportTop)" ] || fail "ReportTop not written by Exit"
[ -n "$(setting 'Forms Position' ReportLeft)" ] || fail "ReportLeft not written by Exit"
echo "ok: Exit stores the place"

wait_until 5 "the countdown did not run on after the report closed" eval \
    '[ "$(xdotool getwindowname "$toolbar")" != "$before" ]'
echo "ok: the countdown runs on"
kill -0 "$pid" || fail "the program ended"
echo "report e2e: passed"
