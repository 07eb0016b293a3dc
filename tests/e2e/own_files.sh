#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Kestrel's own files (the settings file, the milestone file, the countdown file and the calendar
# feed) are never written over by another of its outputs: `kestrel --report-pdf` and
# `kestrel --export-ics` refuse them, also through a symbolic link, with status 1 and a message;
# and a milestone marked on the calendar while "Project File" names the settings file is refused
# with a message, the settings file left as it was.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"
COUNTDOWN="$E2E_TMP/count.txt"
FEED="$E2E_TMP/feed.ics"
mkdir -p "${MILESTONES%/*}"
printf '" 36514","First"\r\n' >"$MILESTONES"
printf 'T-2\r\n' >"$COUNTDOWN"
printf 'BEGIN:VCALENDAR\r\n' >"$FEED"
cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
Target_Type=Days
[File Options]
Count_Down_File=$COUNTDOWN
[Calendar]
Calendar File=$FEED
INI
ln -s "$MILESTONES" "$E2E_TMP/milestones.pdf"
ln -s "$SETTINGS" "$E2E_TMP/settings.ics"

# Each output refused for each own file: exit status 1, the reason on standard error, the file
# as it was.
check_refused() { # own file, what the message says, args...
    local own="$1" says="$2" before code=0
    shift 2
    before=$(md5sum <"$own")
    faked frozen "1999-12-16 10:00:00" "$KESTREL" "$@" >/dev/null 2>"$E2E_TMP/err.txt" || code=$?
    expect_eq "exit status of $*" "$code" "1"
    grep -qF -- "$says" "$E2E_TMP/err.txt" || fail "message of $*: $(cat "$E2E_TMP/err.txt")"
    expect_eq "$own after $*" "$(md5sum <"$own")" "$before"
}
unset DISPLAY
check_refused "$SETTINGS" "it is the settings file" --report-pdf "$SETTINGS"
check_refused "$MILESTONES" "it is the milestone file" --report-pdf "$MILESTONES"
check_refused "$MILESTONES" "it is the milestone file" --report-pdf "$E2E_TMP/milestones.pdf"
check_refused "$COUNTDOWN" "it is the countdown file" --report-pdf "$COUNTDOWN"
check_refused "$FEED" "it is the calendar feed" --report-pdf "$E2E_TMP/./feed.ics"
check_refused "$SETTINGS" "is Kestrel's settings file" --export-ics "$E2E_TMP/settings.ics"
check_refused "$COUNTDOWN" "is Kestrel's countdown file" --export-ics "$COUNTDOWN"
check_refused "$FEED" "is Kestrel's calendar feed" --export-ics "$FEED"
[ -L "$E2E_TMP/milestones.pdf" ] || fail "the link was replaced"
faked frozen "1999-12-16 10:00:00" "$KESTREL" --report-pdf "$E2E_TMP/report.pdf" || fail "a PDF of another name"
echo "ok: every output refuses the program's own files"

# "Project File" names the settings file (a hand edit; the options dialog refuses it).
calendar_settings "[File Options]" "Project File=$SETTINGS"
start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
# The settings file read as milestones is a damaged milestone file: said once as the calendar opens.
box=$(wait_window '^Kestrel$')
screen_text | grep -q "321 Invalid file format" || fail "no message about the damaged milestone file"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_no_window '^Kestrel$'
wait_calendar
before=$(cat "$SETTINGS")

open_editor 24
xdotool type --delay 20 "Not over the settings"
xdotool key alt+a
box=$(wait_window '^Kestrel$')
wait_until 5 "the refusal is not shown" eval \
    '[ -n "$(screen_text | grep "the milestones could not be saved to $SETTINGS (it is the settings file)")" ]'
echo "ok: the milestone Apply is refused"
# The keys as they were; the editor may add its place.
settings_kept() {
    expect_eq "$1" "$(sed '/^\[Forms Position\]$/,$d' "$SETTINGS")" "$before"
    ! grep -q '36518' "$SETTINGS" || fail "$1: the milestone went into the settings file"
}
settings_kept "settings file after the refused Apply"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_no_window '^Kestrel$'
# The editor stays open with what was typed.
[ -n "$(visible_windows '^Milestone Update Form$')" ] || fail "the editor closed"
xdotool windowfocus --sync "$editor"
xdotool key ctrl+a ctrl+c
wait_until 5 "the typed milestone is not in the editor" eval \
    '[ "$(xclip -o -selection clipboard 2>/dev/null)" == "Not over the settings" ]'
echo "ok: the typed milestone stays in the editor"
settings_kept "settings file at the end"
kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "own files e2e: passed"
