#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Faults a careless user or a damaged disk brings about, with the real program under a frozen
# clock: a countdown file that names the settings file, a countdown file that cannot be written,
# and the program ended by a signal (also while a message box of the start is open, and with a
# settings file that cannot be saved).
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

# How many message boxes titled "Kestrel" come up over the given seconds; each is closed as it
# shows, as a user would.
count_message_boxes() { # seconds
    local boxes=0 end=$((SECONDS + $1)) id
    while [ "$SECONDS" -lt "$end" ]; do
        id=$(visible_windows '^Kestrel$' | head -n 1)
        if [ -n "$id" ]; then
            boxes=$((boxes + 1))
            xdotool windowfocus --sync "$id" key Return 2>/dev/null || true
            # Give the box time to go before looking again.
            wait_until 5 "a message box did not close" no_window '^Kestrel$'
        fi
        sleep 0.2
    done
    echo "$boxes"
}

start_x

# 1. The countdown file is the settings file itself, through a link: the settings survive.
ln -s "$SETTINGS" "$E2E_TMP/countdown-link.txt"
cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
[File Options]
Project Title=Settings that must survive
Continuous_Save=1
Count_Down_File=$E2E_TMP/countdown-link.txt
INI
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
wait_window '^T-' >/dev/null
expect_eq "message boxes about the countdown file" "$(count_message_boxes 4)" "1"
expect_eq "project title kept" "$(setting 'File Options' 'Project Title')" "Settings that must survive"
expect_eq "target year kept" "$(setting 'Target Date' Target_Year)" "2000"

# 6. SIGTERM ends it as "&Close" does: the toolbar's place is recorded, and everything saved is
# status 0.
kill -TERM -- "-$pid"
wait_gone "$pid"
status=0
wait "$pid" || status=$?
expect_eq "status after SIGTERM" "$status" "0"
expect_eq "ToolbarWindowState after SIGTERM" "$(setting 'Forms Position' ToolbarWindowState)" "0"
expect_eq "FormCount after SIGTERM" "$(setting 'Forms Open' FormCount)" "0"
expect_eq "project title after SIGTERM" "$(setting 'File Options' 'Project Title')" "Settings that must survive"

# 2. A countdown file on a full disk: one message, not one every second.
cat >"$SETTINGS" <<INI
[File Options]
Continuous_Save=1
Count_Down_File=/dev/full
INI
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
wait_window '^T-' >/dev/null
expect_eq "message boxes in ten seconds of a full disk" "$(count_message_boxes 10)" "1"
kill -0 "$pid" 2>/dev/null || fail "kestrel ended"
expect_eq "Continuous_Save still on in the file" "$(setting 'File Options' Continuous_Save)" "1"
kill -TERM -- "-$pid"
wait_gone "$pid"

# 7. SIGTERM while a message box of the start is open (a target too far away to count): the box
# closes and the program ends, so the next start runs on its own instead of raising a frozen one.
cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2100
Target_Month=1
Target_Day=1
INI
for round in first second; do
    start_at "1999-12-30 15:20:45" "$KESTREL"
    pid=$E2E_LAST_PID
    wait_window '^Kestrel$' >/dev/null
    kill -0 "$pid" 2>/dev/null || fail "$round start: kestrel ended before the signal"
    kill -TERM -- "-$pid"
    wait_gone "$pid" 5
    status=0
    wait "$pid" || status=$?
    expect_eq "$round start: status after SIGTERM during the start's message box" "$status" "0"
    grep -q "already running" "$E2E_LAST_LOG" && fail "$round start: kestrel says another runs"
    wait_no_window '^Kestrel$'
done
expect_eq "ToolbarWindowState after SIGTERM at start" "$(setting 'Forms Position' ToolbarWindowState)" "0"

# 8. SIGTERM with a settings file that cannot be saved: said on standard error, not in a box that
# waits for a click, and the status is 1.
cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
INI
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
wait_window '^T-' >/dev/null
# A file where the settings folder was: nothing can be written there, not even by root.
mv "$XDG_CONFIG_HOME/kestrel" "$XDG_CONFIG_HOME/kestrel.away"
echo "not a folder" >"$XDG_CONFIG_HOME/kestrel"
kill -TERM -- "-$pid"
wait_gone "$pid" 5
status=0
wait "$pid" || status=$?
expect_eq "status after SIGTERM with settings that cannot be saved" "$status" "1"
expect_eq "message boxes at the end" "$(visible_windows '^Kestrel$' | wc -l)" "0"
grep -q "^kestrel: .*The settings could not be saved to $SETTINGS\." "$E2E_LAST_LOG" ||
    fail "no message on standard error: $(cat "$E2E_LAST_LOG")"
echo "ok: the failed save is said on standard error"
rm "$XDG_CONFIG_HOME/kestrel"
mv "$XDG_CONFIG_HOME/kestrel.away" "$XDG_CONFIG_HOME/kestrel"
echo "faults e2e: passed"
