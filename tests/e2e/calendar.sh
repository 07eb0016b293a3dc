#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The desk calendar of the real program under a frozen clock (16 December 1999, target 1 January
# 2000): reopened at start because the settings file records it as open, it shows December 1999
# with the counts -31 to -1; a double-click on the 24th, a typed text and Apply write the
# milestone file in its exact format, and the 24th then carries the milestone's number.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"

calendar_settings

start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
# The accessibility bus answers a moment after the window shows.
wait_calendar

# Each day cell tells its day, its count and whether it is today or marked.
cells=$(window_text "T-16 Days Countdown Calendar" | grep -E '\|[A-Z][a-z]+day, December [0-9]+, 1999: ' | cut -d'|' -f2-)
counts=$(echo "$cells" | sed -n 's/.*, count \(-\?[0-9]*\).*/\1/p' | paste -sd' ')
expect_eq "December counts" "$counts" "$(seq -31 -1 | paste -sd' ')"
expect_eq "today's cell" "$(echo "$cells" | grep -c 'December 16, 1999: 16, count -16, today$')" "1"
labels=$(window_text "T-16 Days Countdown Calendar" | grep '^label|' | cut -d'|' -f2- | paste -sd'/')
case "$labels" in
*"/1/-31/2/-30/"*"/31/-1"*) echo "ok: day and count labels" ;;
*) fail "day and count labels: $labels" ;;
esac
expect_eq "month title" "$(window_text "T-16 Days Countdown Calendar" | grep -c '^label|December  1999$')" "1"

# A double-click on the 24th opens the editor for that day.
open_editor 24
expect_eq "editor day" "$(screen_text | grep -c "label|Enter Milestone for 24 Dec, 1999$")" "1"
xdotool type --delay 20 "Review"
xdotool key alt+a

wait_file_content "$MILESTONES" $'" 36518","Review"\r'
printf '" 36518","Review"\r\n' | cmp -s - "$MILESTONES" || fail "milestone file: $(od -c "$MILESTONES")"
echo "ok: milestone file holds exactly one line with CR LF"
wait_no_window '^Milestone Update Form$'
wait_until 5 "the 24th after Apply is not marked" eval \
    '[ "$(window_text "T-16 Days Countdown Calendar" | grep -c "^label|1 24\$")" == 1 ]'
echo "ok: the 24th after Apply"
expect_eq "marked cell" \
    "$(window_text "T-16 Days Countdown Calendar" | grep -c 'December 24, 1999: 1 24, count -8, milestone 1$')" "1"
screenshot="${KESTREL_E2E_SHOT:-}"
[ -z "$screenshot" ] || import -window root "$screenshot"

kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "calendar e2e: passed"
