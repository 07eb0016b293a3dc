#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Another program (a sync client, a text editor) replaces the milestone file twice in a row by
# writing a new file and renaming it over the old one, while the desk calendar is open: each time
# the calendar shows the new milestones within two seconds, without a restart.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"
mkdir -p "${MILESTONES%/*}"
printf '" 36514","First"\r\n' >"$MILESTONES"

calendar_settings

# The marked day cells of the open calendar, as "day:number" words.
marked_cells() {
    window_text "T-16 Days Countdown Calendar" |
        sed -n 's/.*, December \([0-9]*\), 1999: .*, milestone \([0-9]*\)$/\1:\2/p' | paste -sd' '
}

# Replaces the milestone file by a rename, as an editor saving atomically does, then waits for the
# calendar to show the wanted marks and says how long it took.
replace_and_wait() { # bytes, wanted marks
    printf "$1" >"$MILESTONES.new"
    mv "$MILESTONES.new" "$MILESTONES"
    local start=$EPOCHREALTIME got
    while :; do
        got=$(marked_cells)
        [ "$got" != "$2" ] || break
        local elapsed_ms=$(((${EPOCHREALTIME/./} - ${start/./}) / 1000))
        [ "$elapsed_ms" -le 2000 ] || fail "2 s after the rename the calendar shows '$got', want '$2'"
        sleep 0.1
    done
    echo "ok: '$2' after $(((${EPOCHREALTIME/./} - ${start/./}) / 1000)) ms"
}

start_x
start_at "1999-12-16 10:00:00" "$KESTREL"
pid=$E2E_LAST_PID
wait_calendar
expect_eq "marks at start" "$(marked_cells)" "20:1"

replace_and_wait '" 36514","First"\r\n" 36516","Second"\r\n' "20:1 22:2"
replace_and_wait '" 36517","Third"\r\n' "23:1"

kill -0 "$pid" 2>/dev/null || fail "the program ended"
echo "milestone replaced e2e: passed"
