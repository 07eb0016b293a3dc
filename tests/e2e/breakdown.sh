#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A settings file that records the breakdown window as open brings it back at start, showing
# the exact breakdown for the frozen time.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

cat >"$SETTINGS" <<INI
[Forms Open]
FormCount=1
Form1=frmCountDown
[Target Date]
Target_Year=2002
INI

start_x
start_at "1999-12-30 15:20:45" "$KESTREL"
wait_window '^Countdown Breakdown$' >/dev/null
wait_window '^T-' >/dev/null
labels() { window_text "Countdown Breakdown" | grep '^label|' | cut -d'|' -f2- | paste -sd'/'; }
want=" Years/Days/ Hours/ Minutes/ Seconds/2/1/8/39/15/Year 2000 Conversion Project"
# The accessibility bus answers a moment after the window shows.
wait_until 10 "breakdown columns: want '$want'" eval '[ "$(labels)" == "$want" ]'
echo "ok: breakdown columns"
project=$(window_text "Countdown Breakdown" | grep -c '^label|Year 2000 Conversion Project$')
expect_eq "project title shown" "$project" "1"
echo "breakdown e2e: passed"
