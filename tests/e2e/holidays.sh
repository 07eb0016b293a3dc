#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Holidays and the working week through the real programs under a frozen clock: the rows of
# `kestrel --report-pdf` (which builds the holiday cache from the iCalendar file) and
# `kestrel-status --line` (which reads the cache) count the same work days; a damaged holiday
# file is said once and counts as absent; a holiday feed served by a local web server is fetched
# by the running kestrel, cached, and still used once the server has stopped.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
STATUS="$2"
NOW="1999-12-23 10:00:00"
# The clock is faked, the files' times are not: the cache is rebuilt when a calendar changes.
export NO_FAKE_STAT=1

ics() { # summary-and-dates...
    printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//kestrel e2e//EN\r\n'
    local n=0 event
    for event in "$@"; do
        n=$((n + 1))
        printf 'BEGIN:VEVENT\r\nUID:%s@e2e\r\nDTSTART;VALUE=DATE:%s\r\nSUMMARY:%s\r\nEND:VEVENT\r\n' \
            "$n" "${event%%=*}" "${event#*=}"
    done
    printf 'END:VCALENDAR\r\n'
}
ics 19991224=Christmas\ Eve 20000103=Bank\ Holiday >"$E2E_TMP/holidays.ics"
# The settings of these tests: work days to Monday 10 January 2000 with holidays on, then the
# lines given, one per argument.
holiday_settings() { # lines...
    printf '[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=10\nTarget_Type=WorkDays\nCaption_option=dd:hh:mm:ss\n[Work Days]\nUse Holidays=True\n' >"$SETTINGS"
    printf '%s\n' "$@" >>"$SETTINGS"
}
holiday_settings "Holiday FileCount=1" "Holiday File1=$E2E_TMP/holidays.ics"

report_rows() { # pdf
    pdftotext -layout "$1" - | tr -d '\f' | sed 's/  */ /g; s/^ //; s/ $//' | grep -E '^(-?[0-9]+ )?[A-Z][a-z][a-z] [0-9][0-9], '
}
status_line() {
    (unset DISPLAY && faked frozen "$NOW" "$STATUS" --line)
}

# The report builds the cache; the status line reads it.
(unset DISPLAY && faked frozen "$NOW" "$KESTREL" --report-pdf "$E2E_TMP/report.pdf" 2>"$E2E_TMP/report-err.txt") ||
    fail "report: $(cat "$E2E_TMP/report-err.txt")"
expect_eq "report messages" "$(cat "$E2E_TMP/report-err.txt")" ""
rows=$(report_rows "$E2E_TMP/report.pdf")
expect_eq "today's row" "$(grep 'Dec 23' <<<"$rows")" "-10 Dec 23, 1999 Thursday"
expect_eq "the holiday's row" "$(grep 'Dec 24' <<<"$rows")" "Dec 24, 1999 Friday Christmas Eve"
expect_eq "the next work day's row" "$(grep 'Dec 27' <<<"$rows")" "-9 Dec 27, 1999 Monday"
expect_eq "a holiday in January" "$(grep 'Jan 03' <<<"$rows")" "Jan 03, 2000 Monday Bank Holiday"
expect_eq "the target's row" "$(grep 'Jan 10' <<<"$rows")" "0 Jan 10, 2000 Monday"
line=$(status_line)
# The status line counts the work days after today: the next work day's row, without its sign.
next_work_day=$(awk '/Dec 27/ { print -$1 }' <<<"$rows")
expect_eq "kestrel-status --line" "$line" "T-$next_work_day:13:59:60"
expect_eq "kestrel-status --line" "$line" "T-9:13:59:60"

# Off: the older rule, as before.
sed -i 's/^Use Holidays=True/Use Holidays=False/' "$SETTINGS"
expect_eq "kestrel-status --line with holidays off" "$(status_line)" "T-11:13:59:60"
sed -i 's/^Use Holidays=False/Use Holidays=True/' "$SETTINGS"

# A damaged holiday file: one message, and it counts as absent.
printf 'no calendar at all\n' >"$E2E_TMP/damaged.ics"
sed -i "s|^Holiday FileCount=1|Holiday FileCount=2\nHoliday File2=$E2E_TMP/damaged.ics|" "$SETTINGS"
(unset DISPLAY && faked frozen "$NOW" "$KESTREL" --report-pdf "$E2E_TMP/report2.pdf" 2>"$E2E_TMP/report-err.txt") ||
    fail "report with a damaged file: $(cat "$E2E_TMP/report-err.txt")"
expect_eq "messages for a damaged file" "$(grep -c 'damaged.ics cannot be read' "$E2E_TMP/report-err.txt")" "1"
expect_eq "rows with a damaged file" "$(report_rows "$E2E_TMP/report2.pdf")" "$rows"
expect_eq "kestrel-status --line with a damaged file" "$(status_line)" "T-9:13:59:60"
(unset DISPLAY && faked frozen "$NOW" "$STATUS" --line 2>&1 >/dev/null) | grep -q . &&
    fail "kestrel-status complains about a file it never reads"
(unset DISPLAY && faked frozen "$NOW" "$KESTREL" --report-pdf "$E2E_TMP/report2.pdf" 2>"$E2E_TMP/report-err.txt") ||
    fail "report again: $(cat "$E2E_TMP/report-err.txt")"
expect_eq "messages once the cache holds what the files say" "$(cat "$E2E_TMP/report-err.txt")" ""
echo "ok: the damaged file is said once"

# A holiday feed from a web server on this computer.
ics 19991227=Feed\ Holiday >"$E2E_TMP/feed.ics"
mkdir -p "$E2E_TMP/www" && cp "$E2E_TMP/feed.ics" "$E2E_TMP/www/feed.ics"
setsid python3 -u -m http.server --bind 127.0.0.1 --directory "$E2E_TMP/www" 0 >"$E2E_TMP/server.log" 2>&1 &
server=$!
E2E_PIDS+=("$server")
wait_until 10 "the web server did not start" grep -q 'port [0-9]' "$E2E_TMP/server.log"
port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$E2E_TMP/server.log" | head -n 1)
holiday_settings "Holiday Feed=http://127.0.0.1:$port/feed.ics"
start_x
start_at "$NOW" "$KESTREL"
kestrel=$E2E_LAST_PID
wait_window '^T-'
# 24 December is worked again; 27 December is the feed's holiday.
wait_until 15 "the feed was not cached: $(status_line)" test "$(status_line)" == "T-10:13:59:60"
expect_eq "kestrel-status --line with the feed" "$(status_line)" "T-10:13:59:60"
grep -q 'GET /feed.ics' "$E2E_TMP/server.log" || fail "the feed was not asked for"
kill -TERM -- "-$server"
wait_gone "$server"
kill -TERM "$kestrel"
wait_gone "$kestrel"

# The server is gone: the next start fails to fetch, says so once and keeps the last good copy.
start_at "$NOW" "$KESTREL"
kestrel=$E2E_LAST_PID
wait_window '^T-'
wait_window '^Kestrel$'
expect_eq "kestrel-status --line without the server" "$(status_line)" "T-10:13:59:60"
(unset DISPLAY && faked frozen "$NOW" "$KESTREL" --report-pdf "$E2E_TMP/report3.pdf" 2>"$E2E_TMP/report-err.txt") ||
    fail "report without the server: $(cat "$E2E_TMP/report-err.txt")"
expect_eq "the feed's holiday in the report" "$(report_rows "$E2E_TMP/report3.pdf" | grep 'Dec 27')" \
    "Dec 27, 1999 Monday Feed Holiday"
echo "holidays e2e: passed"
