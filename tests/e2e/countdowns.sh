#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Several countdowns: "Default" (KESTREL.INI) and "Launch" (countdowns/Launch.INI) run side by
# side with different targets, each with its own title, countdown file and kestrel-status line;
# kestrel-status --all --json lists both; a second start of one raises it and starts nothing; a
# name such as "../x" (or one that does not exist) is refused; deleting Launch from Default's Countdowns menu closes it and
# moves its files to the trash while Default runs on.
KESTREL="$1"
STATUS="$2"
SAVER="$3"
source "$(dirname "$0")/lib.sh"

NOW="1999-12-30 15:20:45"
DATA="$XDG_DATA_HOME/kestrel"
cat >"$SETTINGS" <<INI
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
[File Options]
Continuous_Save=1
INI
mkdir -p "$XDG_CONFIG_HOME/kestrel/countdowns" "$DATA"
cat >"$XDG_CONFIG_HOME/kestrel/countdowns/Launch.INI" <<INI
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=5
[File Options]
Continuous_Save=1
INI

# The names and the status lines need no display.
status=0
"$KESTREL" --countdown ../x >"$E2E_TMP/bad-name.log" 2>&1 || status=$?
expect_eq "kestrel --countdown ../x: status" "$status" "2"
grep -q 'cannot hold "/"' "$E2E_TMP/bad-name.log" || fail "no reason for refusing ../x: $(cat "$E2E_TMP/bad-name.log")"
status=0
"$STATUS" --countdown Nowhere >/dev/null 2>&1 || status=$?
expect_eq "kestrel-status --countdown Nowhere: status" "$status" "2"
expect_eq "kestrel-status --countdown launch" "$(faked frozen "$NOW" "$STATUS" --countdown launch)" "T-0:5:8:39:15"
expect_eq "kestrel --countdown Launch --line" "$(faked frozen "$NOW" "$KESTREL" --countdown Launch --line)" "T-0:5:8:39:15"
status=0
"$SAVER" --countdown Nowhere -root >"$E2E_TMP/saver.log" 2>&1 || status=$?
expect_eq "kestrel-saver --countdown Nowhere: status" "$status" "2"
expect_eq "kestrel-status" "$(faked frozen "$NOW" "$STATUS")" "T-0:1:8:39:15"
expect_eq "kestrel-status --all" "$(faked frozen "$NOW" "$STATUS" --all | paste -sd'|')" \
    "Default: T-0:1:8:39:15|Launch: T-0:5:8:39:15"
all_json=$(faked frozen "$NOW" "$STATUS" --all --json)
expect_eq "kestrel-status --all --json" "$(python3 -c '
import json, sys
print(" ".join(o["countdown"] + "=" + o["text"] for o in json.loads(sys.argv[1])))' "$all_json")" \
    "Default=T-0:1:8:39:15 Launch=T-0:5:8:39:15"

start_x
start_at "$NOW" "$KESTREL"
default_pid=$E2E_LAST_PID
wait_window '^T-0:1:8:' >/dev/null
start_at "$NOW" "$KESTREL" --countdown Launch
launch_pid=$E2E_LAST_PID
wait_window '^T-0:5:8:' >/dev/null
expect_eq "toolbars" "$(visible_windows '^T-0:[15]:8:' | wc -l)" "2"
wait_file_content "$DATA/Kestrel.txt" $'T-0  Years1 Days8  Hours39  Minutes15  Seconds (Eastern Standard Time)\r'
echo "ok: Default's countdown file"
wait_file_content "$DATA/countdowns/Launch/Kestrel.txt" $'T-0  Years5 Days8  Hours39  Minutes15  Seconds (Eastern Standard Time)\r'
echo "ok: Launch's countdown file"

# A second start of Launch (by another spelling of its name, and by a link to its settings
# file) raises the running one and ends; no third toolbar appears.
default_hex=$(printf '0x%x' "$(wait_window '^T-0:1:8:')")
launch_hex=$(printf '0x%x' "$(wait_window '^T-0:5:8:')")
# The two toolbars from the top of the stack down.
stacking() {
    xwininfo -root -children |
        awk -v d="$default_hex" -v l="$launch_hex" '$1 == d { print "Default" } $1 == l { print "Launch" }' | paste -sd' '
}
ln -s "$XDG_CONFIG_HOME/kestrel/countdowns/Launch.INI" "$E2E_TMP/launch-link.ini"
for how in "--countdown LAUNCH" "--settings $E2E_TMP/launch-link.ini"; do
    xdotool windowraise "$default_hex"
    wait_until 5 "Default's toolbar did not come to the top" test "$(stacking)" == "Default Launch"
    status=0
    # shellcheck disable=SC2086
    timeout 10 "$KESTREL" $how >"$E2E_TMP/second.log" 2>&1 || status=$?
    expect_eq "second start ($how): status" "$status" "0"
    expect_eq "second start ($how): output" "$(cat "$E2E_TMP/second.log")" ""
    wait_until 5 "the second start did not raise Launch's toolbar: $(stacking)" test "$(stacking)" == "Launch Default"
    echo "ok: second start ($how) raised Launch's toolbar"
done
sleep 0.5
expect_eq "toolbars after the second starts" "$(visible_windows '^T-0:[15]:8:' | wc -l)" "2"
kill -0 "$launch_pid" 2>/dev/null || fail "Launch's kestrel has ended"

# Delete Launch from Default's toolbar: Tools, Countdowns, Delete Countdown..., the one other
# countdown, Yes, and OK to close the running one; then the closing message.
default_window=$(wait_window '^T-0:1:8:')
xdotool windowfocus --sync "$default_window"
xdotool key alt+t
sleep 0.3
xdotool key o
sleep 0.3
xdotool key d
# Each message is answered once it shows its words and has the keyboard: a loaded machine may be
# slow to bring it up.
answer_when() { # words of the message
    local words="$1"
    wait_until 10 "no message saying '$words'" eval 'screen_text | grep -qF -- "$words"'
    xdotool windowfocus --sync "$(wait_window '^Countdowns$')"
    xdotool key Return
}
wait_window '^Countdowns$' >/dev/null
xdotool key Return # the choice: Launch
answer_when "Delete the countdown Launch?"
answer_when "The countdown Launch is running. Close it first?"
wait_gone "$launch_pid" 10
echo "ok: Launch closed when it was deleted"
answer_when "went to the trash."
[ ! -e "$XDG_CONFIG_HOME/kestrel/countdowns/Launch.INI" ] || fail "Launch.INI is still there"
[ ! -e "$DATA/countdowns/Launch" ] || fail "Launch's data folder is still there"
[ -f "$XDG_DATA_HOME/Trash/files/Launch.INI" ] || fail "Launch.INI is not in the trash"
[ -f "$XDG_DATA_HOME/Trash/files/Launch/Kestrel.txt" ] || fail "Launch's countdown file is not in the trash"
[ -f "$XDG_DATA_HOME/Trash/info/Launch.INI.trashinfo" ] || fail "no trash information for Launch.INI"
echo "ok: Launch's files are in the trash"
kill -0 "$default_pid" 2>/dev/null || fail "Default's kestrel has ended"
wait_window '^T-0:1:8:' >/dev/null
expect_eq "kestrel-status --all after the delete" "$(faked frozen "$NOW" "$STATUS" --all)" "Default: T-0:1:8:39:15"
