#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# `kestrel --report-pdf` without a display: the report of the settings and milestone file in a
# temporary HOME under a frozen clock, checked row by row with pdftotext and pdfinfo, and the
# failures with their exit codes and messages.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
unset DISPLAY WAYLAND_DISPLAY

cat >"$SETTINGS" <<INI
[Target Date]
Target_Type=WorkDays
[File Options]
Project Title=Payroll Migration
INI
mkdir -p "$XDG_DATA_HOME/kestrel"
printf '" 36525","Last backup"\r\n" 36528","Go live"\r\n' >"$XDG_DATA_HOME/kestrel/mileston.txt"

pdf="$E2E_TMP/report.pdf"
faked frozen "1999-12-30 15:20:45" "$KESTREL" --report-pdf "$pdf" >"$E2E_TMP/out.txt" 2>&1 ||
    fail "exit $?: $(cat "$E2E_TMP/out.txt")"
expect_eq "pages" "$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')" "2"
text=$(pdftotext -layout "$pdf" - | tr -d '\f' | sed 's/  */ /g; s/^ //; s/ $//' | grep -v '^$')
want="Payroll Migration
Countdown to January 1,2000
WorkDays Date December 1999 Notes/Milestones
-23 Dec 01, 1999 Wednesday
-22 Dec 02, 1999 Thursday
-21 Dec 03, 1999 Friday
Dec 04, 1999 Saturday
Dec 05, 1999 Sunday"
expect_eq "first rows" "$(head -n 8 <<<"$text")" "$want"
expect_eq "last row of December" "$(echo "$text" | grep -B0 'Dec 31')" "-1 Dec 31, 1999 Friday Last backup"
want="Payroll Migration
Countdown to January 1,2000
WorkDays Date January 2000 Notes/Milestones
Jan 01, 2000 Saturday
Jan 02, 2000 Sunday
0 Jan 03, 2000 Monday Go live"
expect_eq "page 2" "$(echo "$text" | tail -n 6)" "$want"

# --from, and failures: exit code and the reason on standard error.
faked frozen "1999-12-30 15:20:45" "$KESTREL" --report-pdf "$pdf" --from 1999-01 || fail "--from 1999-01: exit $?"
expect_eq "pages from January 1999" "$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')" "13"
check_failure() { # want-code, want-message, args...
    local code=0 want_code="$1" want="$2"
    shift 2
    faked frozen "1999-12-30 15:20:45" "$KESTREL" "$@" 2>"$E2E_TMP/err.txt" >/dev/null || code=$?
    expect_eq "exit code of $*" "$code" "$want_code"
    grep -qF -- "$want" "$E2E_TMP/err.txt" || fail "message of $*: $(cat "$E2E_TMP/err.txt")"
}
check_failure 2 "--from needs a month written YYYY-MM" --report-pdf "$pdf" --from 1999-13
check_failure 1 "6 Overflow" --report-pdf "$pdf" --from 1850-01
check_failure 1 "could not be written" --report-pdf "$pdf/inside.pdf"
echo "report pdf e2e: passed"
