#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# With "Project File" empty in the settings file the milestones live in mileston.txt in the data
# folder: a milestone marked through the desk calendar (a real double-click, typing and Alt+A)
# then shows in the calendar feed the running program writes, in `kestrel --export-ics -` and in
# the report of `kestrel --report-pdf`.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"
FEED="$E2E_TMP/feed/kestrel.ics"
mkdir -p "${FEED%/*}"

calendar_settings "[File Options]" "Project File=" "Project Title=Empty Project File" "[Calendar]" "Calendar File=$FEED"

start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
wait_calendar
# The feed is written at start, with the target day and no milestone yet.
wait_until 10 "the calendar feed is not written at start" grep -qs "^SUMMARY:Target day: Empty Project File" "$FEED"
expect_eq "milestones in the feed at start" "$(grep -c '^SUMMARY:' "$FEED")" "1"

open_editor 24
xdotool type --delay 20 "Freeze the code"
xdotool key alt+a
wait_file_content "$MILESTONES" $'" 36518","Freeze the code"\r'
wait_no_window '^Milestone Update Form$'
expect_eq "Project File after Apply" "$(setting "File Options" "Project File")" ""

# The running program's feed.
wait_until 5 "the calendar feed does not show the milestone" grep -qs "^SUMMARY:Freeze the code" "$FEED"
grep -q "^DTSTART;VALUE=DATE:19991224" "$FEED" || fail "the feed's milestone day: $(cat "$FEED")"
echo "ok: the calendar feed"

# The exports of the command line, while the program runs.
faked frozen "1999-12-16 10:00:00" "$KESTREL" --export-ics - >"$E2E_TMP/export.ics" 2>"$E2E_TMP/export.err" ||
    fail "kestrel --export-ics - failed: $(cat "$E2E_TMP/export.err")"
grep -q "^SUMMARY:Freeze the code" "$E2E_TMP/export.ics" || fail "export: $(cat "$E2E_TMP/export.ics")"
grep -q "^DTSTART;VALUE=DATE:19991224" "$E2E_TMP/export.ics" || fail "export day: $(cat "$E2E_TMP/export.ics")"
echo "ok: kestrel --export-ics -"

pdf="$E2E_TMP/report.pdf"
DISPLAY='' faked frozen "1999-12-16 10:00:00" "$KESTREL" --report-pdf "$pdf" >"$E2E_TMP/pdf.out" 2>&1 ||
    fail "kestrel --report-pdf: $(cat "$E2E_TMP/pdf.out")"
row=$(pdftotext -layout "$pdf" - | sed 's/  */ /g; s/^ //; s/ $//' | grep 'Dec 24, 1999')
expect_eq "the report's row of the 24th" "$row" "-8 Dec 24, 1999 Friday Freeze the code"

kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "empty project file e2e: passed"
