#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# One day-type rule in every display of the real program: with the day type written by hand as
# "workdays" (not exactly "WorkDays"), the desk calendar and the report both count calendar days,
# so 16 December 1999 is -16 in each; with "WorkDays" both count work days (-12).
source "$(dirname "$0")/lib.sh"
KESTREL="$1"

write_settings() { # day type
    cat >"$SETTINGS" <<INI
[Forms Open]
FormCount=1
Form1=frmDeskCal
[Target Date]
Target_Year=2000
Target_Month=1
Target_Day=1
Target_Type=$1
[File Options]
Project Title=
INI
}

report_row() { # the report's row of 16 December 1999, from `--report-pdf` without a display
    local pdf="$E2E_TMP/report.pdf"
    (unset DISPLAY && faked frozen "1999-12-16 10:00:00" "$KESTREL" --report-pdf "$pdf" >"$E2E_TMP/pdf.log" 2>&1) ||
        fail "--report-pdf: $(cat "$E2E_TMP/pdf.log")"
    pdftotext -layout "$pdf" - | sed 's/  */ /g; s/^ //; s/ $//' | grep 'Dec 16, 1999'
}

start_x
for types in "workdays|-16" "WorkDays|-12"; do
    type=${types%|*}
    count=${types#*|}
    write_settings "$type"
    expect_eq "report row with day type $type" "$(report_row)" "$count Dec 16, 1999 Thursday"

    start_at "1999-12-16 10:00:00" "$KESTREL"
    pid=$E2E_LAST_PID
    title="T${count} $type Countdown Calendar"
    wait_window "^${title}\$" >/dev/null
    wait_until 10 "the calendar with day type $type does not show $count on the 16th" eval \
        '[ -n "$(window_text "$title" | grep "December 16, 1999: 16, count $count, today\$")" ]'
    echo "ok: calendar with day type $type"
    kill -TERM "$pid"
    wait_until 10 "the program did not end" eval '! kill -0 "$pid" 2>/dev/null'
done
echo "day type e2e: passed"
