#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Two members of a team, alice and bob, each with a home, a settings file and a sync state of their
# own, keep one project on one calendar of a real CalDAV server with `kestrel --sync`: what one adds,
# edits or removes reaches the other; edits of one day made on both sides while the server is down
# keep both texts; a server killed in the middle of a sync leaves both milestone files whole and
# loses nothing; a lost state file unites both sides; events the milestone table cannot hold stay
# on the server and out of the table; a new target reaches the other's settings file; carol, who may
# only read the calendar, gets the team's milestones and keeps her own local; no password lands in
# a file Kestrel writes; and bob's running desk calendar picks up alice's change.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/radicale.sh"
KESTREL="$1"
A11Y_DO="$(dirname "$0")/a11y_do.py"
start_radicale
STORE="$RADICALE_DIR/store/collection-root/team/project"

# ---- The members: a home, a state folder and a password file each.
home_of() { echo "$E2E_TMP/$1"; }
state_of() { echo "$E2E_TMP/$1-state"; }
settings_of() { echo "$E2E_TMP/$1/.config/kestrel/KESTREL.INI"; }
milestones_of() { echo "$E2E_TMP/$1/.local/share/kestrel/mileston.txt"; }
state_files_of() { compgen -G "$(state_of "$1")/kestrel/shared-calendar-*.state" || true; }

# Runs a command as a member: their home, settings, data and state folders.
as_member() { # name, command...
    local name="$1"
    shift
    HOME="$(home_of "$name")" XDG_CONFIG_HOME="$(home_of "$name")/.config" \
        XDG_DATA_HOME="$(home_of "$name")/.local/share" XDG_STATE_HOME="$(state_of "$name")" "$@"
}

add_member() { # name, target month, target day, more settings lines...
    local name="$1" month="$2" day="$3"
    shift 3
    mkdir -p "$(home_of "$name")/.config/kestrel" "$(home_of "$name")/.local/share/kestrel" "$(state_of "$name")"
    mkdir -p "$E2E_TMP/passwords"
    printf '%s-secret\n' "$name" >"$E2E_TMP/passwords/$name"
    chmod 600 "$E2E_TMP/passwords/$name"
    {
        printf '[Target Date]\nTarget_Year=2027\nTarget_Month=%s\nTarget_Day=%s\nTarget_Type=Days\n' "$month" "$day"
        printf '[Shared Calendar]\nCalendar URL=%s\nUser Name=%s\nShare Milestones=True\nPassword File=%s\n' \
            "$RADICALE_URL" "$name" "$E2E_TMP/passwords/$name"
        [ "$#" -eq 0 ] || printf '%s\n' "$@"
    } >"$(settings_of "$name")"
}

# ---- The milestone file: records one a line, "key","text" and CR LF, a quote inside doubled.

# Writes a member's milestone file from KEY=TEXT arguments (KEY the day number), sorted by day.
write_milestones() { # name, day=text...
    local file
    file=$(milestones_of "$1")
    shift
    python3 - "$file" "$@" <<'PY'
import os, sys
records = dict(arg.split("=", 1) for arg in sys.argv[2:])
lines = ['" %s","%s"\r\n' % (day, text.replace('"', '""')) for day, text in sorted(records.items(), key=lambda r: int(r[0]))]
with open(sys.argv[1] + ".new", "w", newline="") as out:
    out.write("".join(lines))
os.replace(sys.argv[1] + ".new", sys.argv[1])
PY
}

# A member's records, "day<TAB>text" one a line in file order; fails, saying where, unless every
# line of the file is a whole record ending in CR LF.
records_of() { # name
    python3 - "$(milestones_of "$1")" <<'PY' || fail "the milestone file of ${1} is damaged"
import os, re, sys
data = open(sys.argv[1], "rb").read() if os.path.exists(sys.argv[1]) else b""
record = re.compile(rb'" (\d+)","((?:[^"]|"")*)"')
if data and not data.endswith(b"\r\n"):
    sys.exit("%s: the last line is cut off: %r" % (sys.argv[1], data[-60:]))
for number, line in enumerate(data.split(b"\r\n")[:-1] if data else [], 1):
    match = record.fullmatch(line)
    if not match:
        sys.exit("%s: line %d is no whole record: %r" % (sys.argv[1], number, line[:120]))
    print("%s\t%s" % (match[1].decode(), match[2].replace(b'""', b'"').decode("utf-8", "replace")))
PY
}

# The text of the day's record, or nothing.
record_text() { # name, day
    records_of "$1" | awk -F '\t' -v day="$2" '$1 == day { print $2 }'
}

expect_record() { # name, day, text
    expect_eq "$1's milestone of day $2" "$(record_text "$1" "$2")" "$3"
}

expect_no_record() { # name, day
    [ -z "$(record_text "$1" "$2")" ] || fail "$1 still has a milestone on day $2: $(record_text "$1" "$2")"
    echo "ok: $1 has no milestone on day $2"
}

# Adds (or replaces) records of a member's milestone file, keeping the others.
add_milestone() { # name, day=text...
    local name="$1" records
    shift
    mapfile -t records < <(records_of "$name" | sed 's/\t/=/')
    write_milestones "$name" "${records[@]}" "$@"
}

expect_same_records() { # name, name
    [ "$(records_of "$1")" == "$(records_of "$2")" ] ||
        fail "$1 and $2 hold different milestones: $(diff <(records_of "$1") <(records_of "$2") | head -n 20)"
    echo "ok: $1 and $2 hold the same $(records_of "$1" | wc -l) milestones"
}

# ---- Syncing: `kestrel --sync` without a display, its status and what it said on each stream.
SYNC_OUT="$E2E_TMP/sync.out"
SYNC_ERR="$E2E_TMP/sync.err"
sync_as() { # name
    SYNC_CODE=0
    (unset DISPLAY && as_member "$1" "$KESTREL" --sync) >"$SYNC_OUT" 2>"$SYNC_ERR" || SYNC_CODE=$?
}

# Syncs and expects success: status 0 and nothing on standard error.
synced() { # name
    sync_as "$1"
    if [ "$SYNC_CODE" != 0 ] || [ -s "$SYNC_ERR" ]; then
        fail "$1's sync: status $SYNC_CODE, said: $(cat "$SYNC_OUT" "$SYNC_ERR")"
    fi
}

# Syncs and expects failure: status 1, one line on standard error saying the words, and not a byte
# of the member's milestone file, settings file or state file changed.
sync_fails() { # name, words
    local before after
    before=$(local_files "$1")
    sync_as "$1"
    [ "$SYNC_CODE" == 1 ] || fail "$1's sync with the server down: status $SYNC_CODE, said: $(cat "$SYNC_OUT" "$SYNC_ERR")"
    [ "$(wc -l <"$SYNC_ERR")" == 1 ] || fail "$1's sync said more or less than one line: $(cat "$SYNC_ERR")"
    grep -qF -- "$2" "$SYNC_ERR" || fail "$1's sync said: $(cat "$SYNC_ERR")"
    after=$(local_files "$1")
    [ "$before" == "$after" ] || fail "$1's failed sync changed local files: $(diff <(echo "$before") <(echo "$after"))"
    echo "ok: $1's sync fails in one line and changes nothing: $(cat "$SYNC_ERR")"
}

local_files() { # name
    local file
    for file in "$(milestones_of "$1")" "$(settings_of "$1")" $(state_files_of "$1"); do
        echo "$file $(md5sum <"$file" 2>/dev/null || echo missing)"
    done
}

expect_said() { # what, line
    grep -qxF -- "$2" "$SYNC_OUT" || fail "$1: the sync did not say '$2'; it said: $(cat "$SYNC_OUT" "$SYNC_ERR")"
    echo "ok: $1"
}

# ---- The server as a calendar program sees it.
server_events() { # the resources of the calendar, one href a line
    curl -fs -u bob:bob-secret -X PROPFIND -H 'Depth: 1' -H 'Content-Type: application/xml' \
        --data '<?xml version="1.0"?><propfind xmlns="DAV:"><prop><getetag/></prop></propfind>' "$RADICALE_URL" |
        python3 -c '
import sys, xml.etree.ElementTree as tree
for response in tree.parse(sys.stdin).getroot().iter("{DAV:}response"):
    href = response.findtext("{DAV:}href")
    if href.endswith(".ics"):
        print(href)'
}

put_event() { # resource name, iCalendar lines...
    local name="$1"
    shift
    { printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//a calendar program//EN\r\n'; printf '%s\r\n' "$@"; printf 'END:VCALENDAR\r\n'; } |
        curl -fs -u bob:bob-secret -X PUT -H 'Content-Type: text/calendar' --data-binary @- "$RADICALE_URL$name" ||
        fail "the event $name could not be put on the server"
}

# The days of the milestones (day numbers, 46392 is 5 January 2027).
KICKOFF=46392 REVIEW=46394 TESTS=46400 LAUNCH=46405 BOBS_OWN=46410 ALICES_LATE=46412 CAROLS=46415 DESK=46417 TWO=46419

add_member alice 3 10
add_member bob 3 10 '[Forms Open]' 'FormCount=1' 'Form1=frmDeskCal'
write_milestones alice "$KICKOFF=Kickoff" "$REVIEW=Design \"final\" review, room 2"
write_milestones bob "$TESTS=Bob's test plan"

# 1. What one adds, the other gets: alice syncs, bob syncs, alice syncs.
synced alice
synced bob
expect_record bob "$KICKOFF" "Kickoff"
expect_record bob "$REVIEW" 'Design "final" review, room 2'
expect_record bob "$TESTS" "Bob's test plan"
synced alice
expect_same_records alice bob
expect_eq "events on the server (three milestones and the target)" "$(server_events | wc -l)" "4"

# 2. An edit and a removal travel from alice to bob, then from bob to alice.
write_milestones alice "$KICKOFF=Kickoff, moved" "$REVIEW=Design \"final\" review, room 2" "$LAUNCH=Launch"
synced alice
synced bob
expect_record bob "$KICKOFF" "Kickoff, moved"
expect_record bob "$LAUNCH" "Launch"
write_milestones alice "$KICKOFF=Kickoff, moved" "$REVIEW=Design \"final\" review, room 2" "$TESTS=Bob's test plan"
synced alice
synced bob
expect_no_record bob "$LAUNCH"
expect_record bob "$TESTS" "Bob's test plan"
write_milestones bob "$REVIEW=Design review by bob" "$TESTS=Bob's test plan"
synced bob
synced alice
expect_no_record alice "$KICKOFF"
expect_record alice "$REVIEW" "Design review by bob"
expect_same_records alice bob
grep -q '^SUMMARY:Kickoff' <<<"$(calendar_as_bob)" && fail "the removed milestone is still on the server"
echo "ok: edits and removals travel both ways"

# 3. Both change one day while the server is down: the syncs fail and change nothing; once it is
# back, both texts are kept in that day's one record on both sides.
stop_radicale
write_milestones alice "$REVIEW=Alice's text" "$TESTS=Bob's test plan"
write_milestones bob "$REVIEW=Bob's text" "$TESTS=Bob's test plan"
sync_fails alice "cannot be reached"
sync_fails bob "cannot be reached"
run_radicale
synced alice
synced bob
expect_said "bob is told that both texts were kept" \
    "Both texts kept for Jan 7, 2027: changed here and on the shared calendar since the last sync."
expect_record bob "$REVIEW" "Bob's text / Alice's text"
synced alice
expect_record alice "$REVIEW" "Bob's text / Alice's text"
expect_same_records alice bob

# 4. Events the milestone table cannot hold, put there by calendar programs: a timed event on a
# milestone's day, a weekly one, a task. They stay on the server and out of the milestone files.
# Two all-day events of one day become one milestone with both texts.
put_event timed.ics BEGIN:VEVENT UID:timed DTSTAMP:20261207T120000Z DTSTART:20270107T100000 \
    DTEND:20270107T110000 'SUMMARY:Timed stand-up' END:VEVENT
put_event weekly.ics BEGIN:VEVENT UID:weekly DTSTAMP:20261207T120000Z 'DTSTART;VALUE=DATE:20270111' \
    'RRULE:FREQ=WEEKLY;COUNT=4' 'SUMMARY:Weekly planning' END:VEVENT
put_event task.ics BEGIN:VTODO UID:task DTSTAMP:20261207T120000Z 'DUE;VALUE=DATE:20270112' 'SUMMARY:Buy cake' END:VTODO
put_event demo.ics BEGIN:VEVENT UID:demo DTSTAMP:20261207T120000Z 'DTSTART;VALUE=DATE:20270201' 'SUMMARY:Demo prep' END:VEVENT
put_event room.ics BEGIN:VEVENT UID:room DTSTAMP:20261207T120000Z 'DTSTART;VALUE=DATE:20270201' 'SUMMARY:Room booking' END:VEVENT
synced alice
synced bob
synced alice
for name in alice bob; do
    for text in "Timed stand-up" "Weekly planning" "Buy cake"; do
        if records_of "$name" | grep -qF "$text"; then fail "$name's milestone file holds '$text'"; fi
    done
done
echo "ok: timed and weekly events and tasks are not milestones"
expect_record bob "$REVIEW" "Bob's text / Alice's text"
case "$(record_text bob "$TWO")" in
"Demo prep / Room booking" | "Room booking / Demo prep") echo "ok: two events of one day are one milestone" ;;
*) fail "the milestone of the day with two events: '$(record_text bob "$TWO")'" ;;
esac
expect_same_records alice bob
still_there() {
    local name
    for name in timed.ics weekly.ics task.ics; do
        curl -fs -o /dev/null -u bob:bob-secret "$RADICALE_URL$name" || fail "$name is gone from the server $1"
    done
    echo "ok: the events the table cannot hold are still on the server $1"
}
still_there "after the syncs"

# 5. A lost state file: bob's next sync is a full one that unites both sides and deletes nothing.
# Bob removed a milestone and added one; alice added one meanwhile.
events_before=$(server_events | wc -l)
add_milestone alice "$ALICES_LATE=Alice's late one"
synced alice
write_milestones bob "$TESTS=Bob's test plan" "$TWO=$(record_text bob "$TWO")" "$BOBS_OWN=Bob's own"
[ -n "$(state_files_of bob)" ] || fail "bob has no state file under $(state_of bob)/kestrel"
state_files_of bob | xargs rm -f
synced bob
expect_record bob "$REVIEW" "Bob's text / Alice's text"
expect_record bob "$ALICES_LATE" "Alice's late one"
expect_record bob "$BOBS_OWN" "Bob's own"
expect_eq "events on the server after bob's full sync" "$(server_events | wc -l)" "$((events_before + 2))"
still_there "after a full sync"
synced alice
expect_same_records alice bob
expect_eq "bob's milestones after the full sync" "$(records_of bob | wc -l)" "5"

# 6. Alice sets another target: bob's sync writes it into his settings file and says so, once.
target_of() { # name: year-month-day as the settings file holds it
    local key value=""
    for key in Target_Year Target_Month Target_Day; do
        value+="$(SETTINGS=$(settings_of "$1") setting 'Target Date' "$key")-"
    done
    echo "${value%-}"
}
sed -i 's/^Target_Month=3/Target_Month=4/; s/^Target_Day=10/Target_Day=20/' "$(settings_of alice)"
synced alice
grep -q '^DTSTART;VALUE=DATE:20270420' <<<"$(calendar_as_bob)" || fail "alice's new target is not on the server"
synced bob
expect_said "bob is told of the new target" "The target day is now Apr 20, 2027, as the shared calendar says."
expect_eq "bob's target" "$(target_of bob)" "2027-4-20"
synced bob
if grep -qF "The target day is now" "$SYNC_OUT"; then fail "the next sync tells of the target again: $(cat "$SYNC_OUT")"; fi
synced alice
expect_eq "alice's target after bob's syncs" "$(target_of alice)" "2027-4-20"
echo "ok: the target is told once"

# 7. Carol may only read: she gets the team's milestones, her own stays on her computer, and she is
# told so; the sync still succeeds.
add_member carol 4 20
write_milestones carol "$CAROLS=Carol's note"
synced carol
expect_said "carol is told that changes stay local" "The shared calendar can only be read: changes stay local."
expect_record carol "$CAROLS" "Carol's note"
expect_record carol "$REVIEW" "Bob's text / Alice's text"
expect_record carol "$ALICES_LATE" "Alice's late one"
if grep -q "Carol" <<<"$(calendar_as_bob)"; then fail "carol's milestone reached the server"; fi
synced carol
expect_record carol "$CAROLS" "Carol's note"
synced alice
expect_no_record alice "$CAROLS"
echo "ok: carol reads the team's milestones and keeps her own"

# 8. The server killed while alice sends a thousand milestones and bob reads them: both files stay
# whole, and once the server is back and both sync again, nothing is lost.
before_bulk=$(records_of alice | wc -l)
bulk=()
for day in $(seq 46600 47599); do bulk+=("$day=Item $day"); done
add_milestone alice "${bulk[@]}"
stored() { compgen -G "$STORE/*.ics" | wc -l; }
stored_at_least() { [ "$(stored)" -ge "$1" ]; }
stored_before=$(stored)
(unset DISPLAY && as_member alice "$KESTREL" --sync) >"$E2E_TMP/alice-bulk.out" 2>"$E2E_TMP/alice-bulk.err" &
alice_sync=$!
wait_until 60 "alice's sync sent nothing" stored_at_least $((stored_before + 50))
(unset DISPLAY && as_member bob "$KESTREL" --sync) >"$E2E_TMP/bob-bulk.out" 2>"$E2E_TMP/bob-bulk.err" &
bob_sync=$!
wait_until 60 "alice's sync stopped sending" stored_at_least $((stored_before + 100))
stop_radicale KILL
code=0
wait "$alice_sync" || code=$?
expect_eq "alice's sync when the server was killed" "$code" "1"
expect_eq "lines alice's sync said" "$(wc -l <"$E2E_TMP/alice-bulk.err")" "1"
code=0
wait "$bob_sync" || code=$?
[ "$code" == 0 ] || [ "$code" == 1 ] || fail "bob's sync ended with $code: $(cat "$E2E_TMP/bob-bulk.err")"
records_of alice >/dev/null
records_of bob >/dev/null
expect_eq "alice's milestones after the kill" "$(records_of alice | wc -l)" "$((before_bulk + 1000))"
echo "ok: both milestone files are whole after the server was killed"
run_radicale
synced alice
synced bob
synced alice
expect_record bob 46600 "Item 46600"
expect_record bob 47599 "Item 47599"
expect_same_records alice bob
expect_eq "bob's milestones once the server is back" "$(records_of bob | wc -l)" "$((before_bulk + 1000))"
still_there "after the server was killed"

# 9. Bob's desktop Kestrel: a change of alice's arrives within one sync, after "Sync now", and the
# desk calendar says the calendar is up to date.
start_x
HOME="$(home_of bob)" XDG_CONFIG_HOME="$(home_of bob)/.config" XDG_DATA_HOME="$(home_of bob)/.local/share" \
    XDG_STATE_HOME="$(state_of bob)" start_at "2027-01-04 10:00:00" "$KESTREL"
desk=$(wait_window 'Countdown Calendar$')
add_milestone alice "$DESK=Alice's change for the desk"
synced alice
sync_now() {
    /usr/bin/python3 "$A11Y_DO" do '.*Countdown Calendar' "menu item" "Sync now" Press </dev/null 2>>"$E2E_TMP/a11y.log"
}
wait_until 20 "the desk calendar $desk has no Sync now" sync_now
bob_has_desk_change() { [ "$(record_text bob "$DESK")" == "Alice's change for the desk" ]; }
wait_until 30 "bob's running Kestrel did not get alice's change" bob_has_desk_change
echo "ok: bob's running Kestrel got alice's change"
says_up_to_date() { screen_text | grep -q "label|Shared calendar: up to date"; }
wait_until 15 "the desk calendar does not say the shared calendar is up to date" says_up_to_date
echo "ok: the desk calendar says the shared calendar is up to date"
kill -TERM -- "-$E2E_LAST_PID"
wait_gone "$E2E_LAST_PID"
records_of bob >/dev/null

# 10. No password in any file Kestrel wrote, from the command line or the desktop.
for name in alice bob carol; do
    for secret in alice-secret bob-secret carol-secret; do
        if grep -rqsF "$secret" "$(home_of "$name")" "$(state_of "$name")"; then
            fail "a password was written to: $(grep -rlsF "$secret" "$(home_of "$name")" "$(state_of "$name")")"
        fi
    done
done
echo "ok: the passwords are in no file Kestrel wrote"
echo "shared sync e2e: passed"
