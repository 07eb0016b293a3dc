#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The countdown on standard output for status bars: kestrel --line, --json and --watch with no
# display at all, under a fixed clock, through the real programs and a real settings file.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
unset DISPLAY WAYLAND_DISPLAY

# 1. The line once, exactly, with no settings file; the settings file is not created.
line=$(faked frozen '1999-12-30 15:20:45' "$KESTREL" --line)
expect_eq "kestrel --line at 1999-12-30 15:20:45" "$line" "T-0:1:8:39:15"
[ ! -e "$SETTINGS" ] || fail "kestrel --line created the settings file"
echo "ok: no settings file written"

# 2. The JSON object is valid JSON with the fields a waybar module reads.
json=$(faked frozen '1999-12-30 15:20:45' "$KESTREL" --json)
python3 - "$json" <<'PY' || fail "kestrel --json: $json"
import json, sys
o = json.loads(sys.argv[1])
assert o["text"] == "T-0:1:8:39:15" and o["line"] == o["text"], o
assert o["class"] == "counting" and o["passed"] is False, o
assert o["tooltip"] == "Target is: Jan 1, 2000 00:00:00\nToday is: Dec 30, 1999 15:20:45", o
assert (o["years"], o["days"], o["hours"], o["minutes"], o["seconds"]) == (0, 1, 8, 39, 15), o
assert o["target"] == "2000-01-01" and o["type"] == "Days" and o["format"] == "yy:dd:hh:mm:ss", o
PY
echo "ok: kestrel --json"

# 3. The settings file decides: work days in the days family, after a settings change, and a
# text in the settings file that is not UTF-8 still gives valid JSON.
printf '[Target Date]\r\nTarget_Year=2000\r\nTarget_Month=1\r\nTarget_Day=1\r\nTarget_Type=WorkDays\r\nCaption_option=dd:hh:mm:ss\r\n' >"$SETTINGS"
expect_eq "work days" "$(faked frozen '1999-12-24 10:00:00' "$KESTREL" --line)" "T-5:13:59:60"
printf '[Target Date]\r\nTarget_Type=Jours ouvr\xe9s\r\nCaption_option=dd\r\n' >"$SETTINGS"
before=$(md5sum <"$SETTINGS")
type=$(faked frozen '1999-12-24 10:00:00' "$KESTREL" --json | python3 -c 'import json, sys; print(json.load(sys.stdin)["type"])') ||
    fail "JSON of a Latin-1 settings text does not parse"
expect_eq "a Latin-1 day type in the JSON" "$type" "Jours ouvrés"
expect_eq "settings file untouched" "$(md5sum <"$SETTINGS")" "$before"
rm -f "$SETTINGS"

# 4. Watching: a new line each second, on the second, for five seconds, each carrying the count
# of the second it is printed in (none printed twice, none left out). The clock starts at the
# given time and runs on.
FAKETIME="$(faketime_value running '1999-12-30 15:20:45')" LD_PRELOAD="$FAKETIME_LIB" "$KESTREL" --watch >"$E2E_TMP/watch" 2>&1 &
watcher=$!
E2E_PIDS+=("$watcher")
wait_until 12 "--watch printed fewer than 6 lines in 12 seconds: $(cat "$E2E_TMP/watch")" eval \
    '[ "$(wc -l <"$E2E_TMP/watch")" -ge 6 ]'
kill "$watcher" 2>/dev/null || true
wait "$watcher" 2>/dev/null || true
mapfile -t lines <"$E2E_TMP/watch"
expect_eq "first watched line" "${lines[0]}" "T-0:1:8:39:15"
for i in 1 2 3 4 5; do
    expect_eq "watched line $i" "${lines[$i]}" "T-0:1:8:39:$((15 - i))"
done

# 5. A status bar that closes the pipe ends the watch quietly and at once.
start=$SECONDS
out=$(faked running '1999-12-30 15:20:45' "$KESTREL" --watch --json 2>"$E2E_TMP/err" | head -n 2 | wc -l)
expect_eq "lines read before closing" "$out" "2"
[ $((SECONDS - start)) -le 4 ] || fail "--watch went on after its output closed"
expect_eq "nothing on standard error after the pipe closed" "$(cat "$E2E_TMP/err")" ""

# 6. A count out of range: the error on standard error, status 1, nothing on standard output.
printf '[Target Date]\nTarget_Year=2100\nCaption_option=dd\n' >"$SETTINGS"
set +e
out=$(faked frozen '1999-12-30 15:20:45' "$KESTREL" --line 2>"$E2E_TMP/err")
status=$?
set -e
expect_eq "exit status of a count out of range" "$status" "1"
expect_eq "output of a count out of range" "$out" ""
expect_eq "error of a count out of range" "$(cat "$E2E_TMP/err")" "6 Overflow"

# 7. An option it does not know is a usage error, status 2.
set +e
"$KESTREL" --line --colour >/dev/null 2>"$E2E_TMP/err"
status=$?
set -e
expect_eq "exit status of an unknown option" "$status" "2"
grep -q "unknown option '--colour'" "$E2E_TMP/err" || fail "no message for the unknown option: $(cat "$E2E_TMP/err")"
echo "ok: unknown option"

# 8. Across a change of the clocks the count is the real time left (Berlin: the night to 28 March
# 2027 is an hour shorter, the night to 31 October an hour longer); zero at the target's midnight.
berlin() { # time, target year, month, day
    printf '[Target Date]\nTarget_Year=%s\nTarget_Month=%s\nTarget_Day=%s\n' "$2" "$3" "$4" >"$SETTINGS"
    TZ=Europe/Berlin faked frozen "$1" "$KESTREL" --line
}
expect_eq "Berlin, spring change" "$(berlin '2027-03-27 12:00:30' 2027 3 29)" "T-0:1:10:59:30"
expect_eq "Berlin, autumn change" "$(berlin '2027-10-30 12:00:30' 2027 11 1)" "T-0:1:12:59:30"
expect_eq "Berlin, no change between" "$(berlin '2027-06-01 12:00:30' 2027 6 3)" "T-0:1:11:59:30"
expect_eq "Berlin, zero at midnight" "$(berlin '2027-03-29 00:00:00' 2027 3 29)" "T-0:0:0:0:0"
rm -f "$SETTINGS"
echo "PASS"
