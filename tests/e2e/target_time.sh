#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A target time of day ("Target_Time=17:00") through the real programs under a frozen clock:
# kestrel-status counts to 17:00 on the target day, its JSON says when the target is, and the
# toolbar's title and target line agree; with "Count_Up=True" the title counts up after it. A
# yearly target renews in kestrel-status alone.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
STATUS="$2"

cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2027
Target_Month=3
Target_Day=10
Target_Time=17:00
INI

# kestrel-status at a frozen local time, without a display.
status_at() { # time, option
    (unset DISPLAY && faked frozen "$1" "$STATUS" "$2")
}

line=$(status_at "2027-03-10 16:59:30" --line)
expect_eq "kestrel-status --line at 16:59:30" "$line" "T-0:0:0:0:30"
line=$(status_at "2027-03-10 17:00:00" --line)
expect_eq "kestrel-status --line at 17:00:00" "$line" "T-0:0:0:0:0"
json=$(status_at "2027-03-10 17:00:01" --json)
python3 - "$json" <<'PY' || fail "kestrel-status --json: $json"
import json, sys
o = json.loads(sys.argv[1])
assert o["class"] == "passed" and o["passed"] is True, o
assert o["tooltip"].startswith("Target is: Mar 10, 2027 17:00:00\n"), o
PY
echo "ok: kestrel-status --json after the target time"

# A time that is no time of day counts to midnight, as without one.
sed -i 's/^Target_Time=.*/Target_Time=5pm/' "$SETTINGS"
line=$(status_at "2027-03-09 23:59:30" --line)
expect_eq "kestrel-status --line with Target_Time=5pm" "$line" "T-0:0:0:0:30"
sed -i 's/^Target_Time=.*/Target_Time=17:00/' "$SETTINGS"

start_x
start_at "2027-03-10 16:59:30" "$KESTREL"
pid=$E2E_LAST_PID
toolbar=$(wait_window '^T-0:0:0:0:30$')
grep -qx 'label|Target is: Mar 10, 2027 17:00:00' <<<"$(window_text "T-0:0:0:0:30")" ||
    fail "target line: $(window_text "T-0:0:0:0:30")"
echo "ok: the toolbar counts to the target time"
xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"
expect_eq "Target_Time kept" "$(setting 'Target Date' Target_Time)" "17:00"

# With count-up on, one second after the target the title counts up.
sed -i 's/^Target_Time=17:00.*/&\nCount_Up=True/' "$SETTINGS"
expect_eq "Count_Up set" "$(setting 'Target Date' Count_Up)" "True"
start_at "2027-03-10 17:00:01" "$KESTREL"
pid=$E2E_LAST_PID
toolbar=$(wait_window '^T')
expect_eq "title one second after the target with count-up" "$(xdotool getwindowname "$toolbar")" "T+0:0:0:0:1"
line=$(status_at "2027-03-11 18:20:30" --line)
expect_eq "kestrel-status --line a day later with count-up" "$line" "T+0:1:1:20:30"
xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"

# A target that renews every year: kestrel-status counts to this year's anniversary without
# kestrel running, and leaves the settings file as it is.
printf '[Target Date]\nTarget_Year=2000\nTarget_Month=12\nTarget_Day=25\nRenew_Yearly=True\n' >"$SETTINGS"
line=$(status_at "2003-01-01 12:00:30" --line)
expect_eq "kestrel-status --line of a renewed target" "$line" "T-0:357:11:59:30"
json=$(status_at "2003-12-25 00:00:01" --json)
python3 - "$json" <<'PY' || fail "kestrel-status --json of a renewed target: $json"
import json, sys
o = json.loads(sys.argv[1])
assert o["target"] == "2004-12-25" and o["class"] == "counting", o
PY
expect_eq "the stored year untouched" "$(setting 'Target Date' Target_Year)" "2000"
echo "target time e2e: passed"
