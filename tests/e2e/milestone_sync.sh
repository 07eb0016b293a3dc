#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Another program (a sync client) changes the milestone file while the milestone editor is open:
# a milestone it added on another day survives the user's Apply; a change of the same day makes
# the editor ask, and "Keep both" joins the two texts.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"
mkdir -p "${MILESTONES%/*}"
printf '" 36518","Review"\r\n' >"$MILESTONES"

calendar_settings

start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
wait_calendar

# 1. A milestone added on another day meanwhile is kept.
open_editor "1 24"
printf '" 36518","Review"\r\n" 36520","Synced"\r\n' >"$MILESTONES.new"
mv "$MILESTONES.new" "$MILESTONES"
xdotool key ctrl+a
xdotool type --delay 20 "Audit"
xdotool key alt+a
wait_file_content "$MILESTONES" $'" 36518","Audit"\r\n" 36520","Synced"\r'
wait_no_window '^Milestone Update Form$'
echo "ok: a milestone another program added is kept"

# 2. The same day changed on both sides: the editor asks; Alt+B keeps both texts.
open_editor "1 24"
printf '" 36518","Moved"\r\n" 36520","Synced"\r\n' >"$MILESTONES.new"
mv "$MILESTONES.new" "$MILESTONES"
xdotool key ctrl+a
xdotool type --delay 20 "Mine"
xdotool key alt+a
wait_until 10 "no question about the day changed on both sides" eval \
    '[ "$(xdotool search --onlyvisible --name "^Milestone Update Form$" | wc -l)" -ge 2 ]'
question=$(xdotool search --onlyvisible --name '^Milestone Update Form$' | grep -vx "$editor" | head -n 1)
xdotool windowfocus --sync "$question"
xdotool key alt+b
wait_file_content "$MILESTONES" $'" 36518","Mine\nMoved"\r\n" 36520","Synced"\r'
echo "ok: the same day changed on both sides, both kept"

kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "milestone sync e2e: passed"
