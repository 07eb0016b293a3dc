#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Reading the team's shared calendar from a real CalDAV server: the whole calendar, then only what
# changed since its sync token, a token the server no longer knows read again in full; tasks and
# timed events are read as events Kestrel leaves alone, a user with read rights only is told so.
# Then a server that misbehaves as Radicale cannot: one line for each fault, and an answer of
# hundreds of megabytes is read without being held in memory.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/radicale.sh"
READ="$1"

start_radicale
# carol may read the team's calendar but not change it.
printf 'carol:carol-secret\n' >>"$RADICALE_DIR/users"
printf '[carol]\nuser: carol\ncollection: team/project\npermissions: r\n' >>"$RADICALE_DIR/rights"

put() { # resource, lines of the event
    printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n%s\r\nEND:VCALENDAR\r\n' "$2" |
        curl -fs -o /dev/null -u bob:bob-secret -X PUT -H 'Content-Type: text/calendar' --data-binary @- \
            "${RADICALE_URL}$1"
}
event() { # UID, lines inside the event
    printf 'BEGIN:VEVENT\r\nUID:%s\r\nDTSTAMP:20261207T120000Z\r\n%b\r\nEND:VEVENT' "$1" "$2"
}
# What alice reads: the events as "href kind day uid text", sorted, and the other lines.
read_as_alice() { # token ("-": none), sync offered (1/0)
    "$READ" read "$RADICALE_URL" alice alice-secret "$1" "$2" >"$E2E_TMP/read.out"
}
events() {
    awk -F'\t' '$1 == "event" { print $2, $4, $5, $6, $7 }' "$E2E_TMP/read.out" | sort
}
line() { # the first word of the line
    sed -n "s/^$1 //p" "$E2E_TMP/read.out"
}

expect_eq "alice's check" "$("$READ" check "$RADICALE_URL" alice alice-secret | head -1)" "write 1 sync 1"
expect_eq "carol's check (read rights only)" "$("$READ" check "$RADICALE_URL" carol carol-secret | head -1)" \
    "write 0 sync 1"

P=/team/project
put review.ics "$(event review 'DTSTART;VALUE=DATE:20270105\r\nDTEND;VALUE=DATE:20270106\r\nSUMMARY:Review\\, & sign off')"
put target.ics "$(event target@kestrel 'DTSTART;VALUE=DATE:20270310\r\nX-KESTREL-TARGET:TRUE\r\nSUMMARY:Target day')"
put standup.ics "$(event standup 'DTSTART:20270105T100000\r\nSUMMARY:Stand-up')"
put weekly.ics "$(event weekly 'DTSTART;VALUE=DATE:20270106\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Weekly')"
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VTODO\r\nUID:task\r\nSUMMARY:Do it\r\nEND:VTODO\r\nEND:VCALENDAR\r\n' |
    curl -fs -o /dev/null -u bob:bob-secret -X PUT -H 'Content-Type: text/calendar' --data-binary @- "${RADICALE_URL}task.ics"

everything="$P/review.ics milestone 46392 review Review, & sign off
$P/standup.ics other 0 standup 
$P/target.ics target 46456 target@kestrel 
$P/task.ics other 0 task 
$P/weekly.ics other 0 weekly "
read_as_alice - 1
expect_eq "the first read is complete" "$(line complete)" "1"
expect_eq "the first read's events" "$(events)" "$everything"
token=$(line token)
[ -n "$token" ] || fail "no sync token: $(cat "$E2E_TMP/read.out")"
grep -q $'^event\t'"$P/review.ics"$'\t"[^"]*"\t' "$E2E_TMP/read.out" || fail "no entity tag: $(cat "$E2E_TMP/read.out")"

read_as_alice "$token" 1
expect_eq "nothing changed: a delta" "$(line complete)" "0"
expect_eq "nothing changed: no events" "$(events)" ""
expect_eq "nothing changed: the same token" "$(line token)" "$token"

# bob adds, changes and removes; alice reads only that.
put ship.ics "$(event ship 'DTSTART;VALUE=DATE:20270110\r\nSUMMARY:Ship\\nit')"
put review.ics "$(event review 'DTSTART;VALUE=DATE:20270107\r\nSUMMARY:Review again')"
curl -fs -o /dev/null -u bob:bob-secret -X DELETE "${RADICALE_URL}standup.ics"
read_as_alice "$token" 1
expect_eq "the delta is no complete read" "$(line complete)" "0"
expect_eq "the delta's events" "$(events)" "$P/review.ics milestone 46394 review Review again
$P/ship.ics milestone 46397 ship Ship\\nit"
expect_eq "the delta's removals" "$(line removed)" "$P/standup.ics"
[ "$(line token)" != "$token" ] || fail "the token did not change"

# A token the server does not know: the calendar is read in full.
read_as_alice "http://radicale.org/ns/sync/0000000000000000000000000000000000000000000000000000000000000000" 1
expect_eq "a refused token is read in full" "$(line complete)" "1"
expect_eq "the full read after a refused token" "$(events | wc -l)" "5"
expect_eq "no removals in a full read" "$(line removed)" ""

# Without sync-collection: one calendar-query, tasks and all.
read_as_alice - 0
expect_eq "a calendar-query is complete" "$(line complete)" "1"
expect_eq "a calendar-query gives no token" "$(line token)" ""
expect_eq "a calendar-query's events" "$(events | cut -d' ' -f1-4)" "$P/review.ics milestone 46394 review
$P/ship.ics milestone 46397 ship
$P/target.ics target 46456 target@kestrel
$P/task.ics other 0 task
$P/weekly.ics other 0 weekly"

# Faults at Radicale: one line each.
expect_eq "a wrong password" "$("$READ" read "$RADICALE_URL" alice wrong - 1 | head -1)" \
    "error the server refused the user name or password (401)"
expect_eq "a calendar without rights" "$("$READ" read "${RADICALE_URL%project/}other/" alice alice-secret - 0 | head -1)" \
    "error the user has no right to read the calendar (403)"
expect_eq "check of a calendar without rights" "$("$READ" check "${RADICALE_URL%project/}other/" alice alice-secret | head -1)" \
    "error the user has no right to read the calendar (403)"

# A server that misbehaves as Radicale cannot, also over https with a certificate of its own.
start_bad_calendar_server
bad_read() { # path, sync offered
    "$READ" read "$BAD$1" alice alice-secret - "$2" >"$E2E_TMP/read.out"
}
expect_eq "no calendar at the address (check)" "$("$READ" check "$BAD/nothing/" alice alice-secret | head -1)" \
    "error there is no calendar at $BAD/nothing/ (404)"
bad_read /nothing/ 1
expect_eq "no calendar at the address (read)" "$(line error)" "there is no calendar at $BAD/nothing/ (404)"
expect_eq "an empty calendar" "$("$READ" check "$BAD/ok/" alice alice-secret | head -1)" "write 1 sync 0"
bad_read /ok/ 0
expect_eq "an empty calendar's events" "$(events)" ""
# The same rules as for publishing: no redirect followed (the password never reaches the other
# host), no certificate trusted but the one the user chose.
expect_eq "a redirect to another host" "$("$READ" check "$BAD/moved/" alice alice-secret | head -1 | grep -o 'does not follow')" \
    "does not follow"
bad_read /moved/ 1
grep -q "^error the server sent the request on to http://127.0.0.2:" "$E2E_TMP/read.out" ||
    fail "a listing redirected: $(cat "$E2E_TMP/read.out")"
[ ! -s "$E2E_TMP/other-host.log" ] || fail "a request reached the other host: $(cat "$E2E_TMP/other-host.log")"
TLS="https://127.0.0.1:$(sed -n 's/^tls //p' "$E2E_TMP/bad-server.out")"
fingerprint=$(openssl x509 -in "$E2E_TMP/server.crt" -noout -fingerprint -sha256 | sed 's/.*=//')
"$READ" read "$TLS/ok/" alice alice-secret - 0 >"$E2E_TMP/read.out"
grep -qF "error the server's certificate is not trusted (SHA-256 fingerprint $fingerprint)" "$E2E_TMP/read.out" ||
    fail "a self-signed certificate: $(cat "$E2E_TMP/read.out")"
echo "ok: a self-signed certificate is refused with its fingerprint"
READ_TRUSTED_CERTIFICATE="$fingerprint" "$READ" read "$TLS/ok/" alice alice-secret - 0 >"$E2E_TMP/read.out"
expect_eq "the trusted certificate" "$(line complete)" "1"
bad_read /notxml/ 0
grep -q "^error the server's answer is not a calendar listing (" "$E2E_TMP/read.out" ||
    fail "an answer that is no XML: $(cat "$E2E_TMP/read.out")"
echo "ok: an answer that is no XML"
bad_read /notlisting/ 0
expect_eq "XML that is no listing" "$(line error)" "the server's answer is not a calendar listing (it is <html>, no multi-status)"
bad_read /longtext/ 0
expect_eq "an event too long to read, beside a milestone" "$(events)" "/longtext/e1.ics other 0  
/longtext/e2.ics milestone 46392 e2 Ship"
expect_eq "the note on the event too long" "$(line note)" \
    "an event of the shared calendar is too long to read (/longtext/e1.ics, more than 1 MB); it is left as it is"
# Changes listed in two parts: the second part's news of an event replaces the first's.
bad_read /parts/ 1
expect_eq "a complete read in two parts" "$(line complete) $(line token)" "1 done"
expect_eq "a complete read in two parts: events" "$(events)" "/parts/e2.ics milestone 46392 e2 Two again
/parts/e3.ics milestone 46392 e3 Three"
expect_eq "a complete read in two parts: removals" "$(line removed)" ""
"$READ" read "$BAD/parts/" alice alice-secret delta 1 >"$E2E_TMP/read.out"
expect_eq "a delta in two parts" "$(line complete) $(line token)" "0 done"
expect_eq "a delta in two parts: events" "$(events | cut -d' ' -f1)" "/parts/e2.ics
/parts/e3.ics"
expect_eq "a delta in two parts: removals" "$(line removed | sort | tr '\n' ' ')" "/parts/e1.ics /parts/e5.ics "
# Answers of 300 MB: read as they come, never whole. What Kestrel holds stays far below them.
for path in /bigread/ /manyread/; do
    bad_read "$path" 0
    expect_eq "an answer of 300 MB at $path" "$(line error)" "the server's answer was far too large (more than 256 MB)"
    peak=$(line peak-rss-kb)
    echo "peak memory reading $path: $peak kB"
    [ "$peak" -lt 64000 ] || fail "reading $path took $peak kB"
done
echo "calendar read e2e: passed"
