#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The target moment shows zero: with the clock frozen at midnight at the start of the target
# day, the toolbar's title, the breakdown window, the countdown file and the screensaver all read
# 0 for every unit; with the clock running across that midnight the title goes from one second
# left, through zero, to one second past.
KESTREL="$1"
SAVER="$2"
source "$(dirname "$0")/saver_lib.sh"

cat >"$SETTINGS" <<INI
[Forms Open]
FormCount=1
Form1=frmCountDown
[File Options]
Continuous_Save=1
Count_Down_File=$E2E_TMP/count.txt
INI

start_x
start_at "2000-01-01 00:00:00" "$KESTREL"
kestrel=$E2E_LAST_PID
window=$(wait_window '^T-')
wait_window '^Countdown Breakdown$' >/dev/null
expect_eq "title at the target" "$(xdotool getwindowname "$window")" "T-0:0:0:0:0"
wait_file_content "$E2E_TMP/count.txt" $'T-0  Years0 Days0  Hours0  Minutes0  Seconds (Eastern Standard Time)\r'
echo "ok: countdown file at the target"
labels=""
for i in $(seq 1 25); do
    labels=$(window_text "Countdown Breakdown" | grep '^label|' | cut -d'|' -f2- | paste -sd'/')
    [ "$labels" == " Years/Days/ Hours/ Minutes/ Seconds/0/0/0/0/0/Year 2000 Conversion Project" ] && break
    sleep 0.2
done
expect_eq "breakdown at the target" "$labels" " Years/Days/ Hours/ Minutes/ Seconds/0/0/0/0/0/Year 2000 Conversion Project"
kill -TERM -- "-$kestrel" 2>/dev/null || true
wait_gone "$kestrel"

start_at "2000-01-01 00:00:00" "$SAVER"
wait_window "$SAVER_TITLE" >/dev/null
wait_labels " Years/Days/ Hours/ Minutes/ Seconds/0/0/0/0/0/Countdown to Year 2000"
echo "ok: screensaver at the target"
kill -TERM -- "-$E2E_LAST_PID" 2>/dev/null || true

# The clock runs on from two seconds before the target: the titles seen, in order.
rm -f "$E2E_TMP/count.txt"
start_at "@1999-12-31 23:59:58" "$KESTREL"
window=$(wait_window '^T-')
titles=""
for i in $(seq 1 60); do
    title=$(xdotool getwindowname "$window" 2>/dev/null || true)
    case "$titles" in
    *"$title"*) ;;
    *) titles="$titles $title" ;;
    esac
    case "$title" in T-0:0:0:0:-[2-9]) break ;; esac
    sleep 0.1
done
echo "titles seen:$titles"
case "$titles" in
*"T-0:0:0:0:1 T-0:0:0:0:0 T-0:0:0:0:-1"*) echo "ok: one second left, zero, one second past" ;;
*) fail "titles across the target:$titles" ;;
esac
echo "zero e2e: passed"
