#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A milestone file damaged on its second line (a NUL byte) is reported as the calendar opens, and
# a milestone marked then is not saved over it (that would delete the third line): Apply says so,
# naming the line, and the typed text stays in the editor. Once another program replaces the file
# with a mended one in UTF-16, the same Apply keeps every milestone and writes UTF-16 back.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"
mkdir -p "${MILESTONES%/*}"
printf '" 36514","First"\r\n" 36515","Bad\0line"\r\n" 36516","Third"\r\n' >"$MILESTONES"
damaged=$(md5sum <"$MILESTONES")

calendar_settings

# Waits for the message box, checks its text and closes it with Enter.
close_message() { # text it holds
    local box wanted="$1"
    box=$(wait_window '^Kestrel$')
    wait_until 5 "the message does not say '$wanted'" eval '[ -n "$(screen_text | grep -F -- "$wanted")" ]'
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_no_window '^Kestrel$'
    echo "ok: message '$1'"
}

start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
close_message "321 Invalid file format: the file holds binary data (line 2 of $MILESTONES)"
wait_calendar

open_editor 24
xdotool type --delay 20 "Review"
xdotool key alt+a
close_message "(line 2 of $MILESTONES). The milestones are not saved"
expect_eq "the damaged file after Apply" "$(md5sum <"$MILESTONES")" "$damaged"
[ -n "$(visible_windows '^Milestone Update Form$')" ] || fail "the editor closed"
xdotool windowfocus --sync "$editor"
xdotool key ctrl+a ctrl+c
wait_until 5 "the typed milestone is not in the editor" eval \
    '[ "$(xclip -o -selection clipboard 2>/dev/null)" == "Review" ]'
echo "ok: the typed milestone stays in the editor"

# Another program puts a mended file in its place, in UTF-16; the calendar reads it at once.
printf '" 36514","First"\r\n" 36515","Mended"\r\n" 36516","Third"\r\n' | iconv -f UTF-8 -t UTF-16 >"$MILESTONES.new"
mv "$MILESTONES.new" "$MILESTONES"
wait_until 5 "the mended file does not show" eval \
    '[ "$(window_text "T-16 Days Countdown Calendar" | grep -c ", milestone [0-9]*$")" == 3 ]'
xdotool windowfocus --sync "$editor"
xdotool key alt+a
wait_no_window '^Milestone Update Form$'
want=$(printf '" 36514","First"\r\n" 36515","Mended"\r\n" 36516","Third"\r\n" 36518","Review"\r\n' | iconv -f UTF-8 -t UTF-16 | od -An -tx1)
wait_until 5 "the milestone file after Apply: $(od -An -tx1 "$MILESTONES" | head -n 3)" eval \
    '[ "$(od -An -tx1 "$MILESTONES")" == "$want" ]'
echo "ok: every milestone kept, written back in UTF-16"
kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "milestone damaged e2e: passed"
