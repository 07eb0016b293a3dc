#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The toolbar window of the real program under a frozen clock: its title is the exact countdown
# line, continuous saving writes the exact line, and closing writes the toolbar's keys.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

cat >"$SETTINGS" <<INI
[File Options]
Continuous_Save=1
Count_Down_File=$E2E_TMP/count.txt
INI

start_x
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
window=$(wait_window '^T-')
expect_eq "title" "$(xdotool getwindowname "$window")" "T-0:1:8:39:15"
toolbar=$(window_text "T-0:1:8:39:15")
grep -qx 'label|Target is: Jan 1, 2000 00:00:00' <<<"$toolbar" || fail "target line: $toolbar"
grep -qx 'label|Today is: Dec 30, 1999 15:20:45' <<<"$toolbar" || fail "today line: $toolbar"
echo "ok: target and today lines"

wait_file_content "$E2E_TMP/count.txt" $'T-0  Years1 Days8  Hours39  Minutes15  Seconds (Eastern Standard Time)\r'
echo "ok: countdown file"

# "&Close" on the menu bar ends the program and records the toolbar.
xdotool windowfocus --sync "$window"
xdotool key alt+c
wait_gone "$pid"
expect_eq "ToolbarWindowState" "$(setting 'Forms Position' ToolbarWindowState)" "0"
expect_eq "ToolbarTop" "$(setting 'Forms Position' ToolbarTop)" "0"
expect_eq "ToolbarLeft" "$(setting 'Forms Position' ToolbarLeft)" "0"
expect_eq "FormCount" "$(setting 'Forms Open' FormCount)" "0"
echo "toolbar e2e: passed"
