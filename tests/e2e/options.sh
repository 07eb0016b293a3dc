#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The options dialog of the real program under a frozen clock: opened from the toolbar's Tools
# menu, the preset "Y3K" chosen with the keyboard and "&Ok" pressed; the toolbar's title then
# counts to the new target and the settings file holds it. The clock stands two days before the
# year 3000, so that the count to the new target stays within the countdown's 16-bit day count.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=3001
INI

start_x
start_at "2999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
toolbar=$(wait_window '^T-')
expect_eq "title before" "$(xdotool getwindowname "$toolbar")" "T-1:1:8:39:15"

# "&Tools", "&Set Target Date".
xdotool windowfocus --sync "$toolbar"
xdotool key alt+t
sleep 0.3
xdotool key s
options=$(wait_window '^Countdown Options$')

# The preset box has the focus and cannot be typed into: the arrow keys walk its list, and each
# item reached is chosen ("Y2K", then "Y3K").
xdotool windowfocus --sync "$options"
xdotool key Down
sleep 0.2
xdotool key Down
sleep 0.2
xdotool key alt+o

title=""
for _ in $(seq 1 50); do
    title=$(xdotool getwindowname "$toolbar")
    [ "$title" == "T-0:1:8:39:15" ] && break
    sleep 0.1
done
expect_eq "title after Ok" "$title" "T-0:1:8:39:15"
if [ -n "$(visible_windows '^Countdown Options$')" ]; then
    fail "the options dialog is still open"
fi
expect_eq "Target_Year" "$(setting 'Target Date' Target_Year)" "3000"
expect_eq "Target_Month" "$(setting 'Target Date' Target_Month)" "1"
expect_eq "Target_Day" "$(setting 'Target Date' Target_Day)" "1"
expect_eq "Company Logo" "$(setting 'File Options' 'Company Logo')" "URL:https://kestrel-countdown.org"

xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"
echo "options e2e: passed"
