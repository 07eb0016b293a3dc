#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# kestrel --export-ics: the milestones and the target day as an iCalendar file, read back by an
# independent parser (python3-icalendar) with the same days and texts, awkward texts included.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$XDG_DATA_HOME/kestrel"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"
# The milestone file as the program writes it: "key","text" and CR LF, a quote inside doubled.
/usr/bin/python3 - "$MILESTONES" <<'PY'
import sys
texts = {
    36530: 'Review, sign; "approve"',
    36531: 'Two lines\r\nsecond line',
    36532: 'Café Zürich – Übergabe ✓ 日本',
    36533: 'Back\\slash and a long text ' + 'é' * 60 + ' that must be folded over several lines',
    36534: '',
}
with open(sys.argv[1], "wb") as out:
    for day, text in texts.items():
        out.write(('" %d","%s"\r\n' % (day, text.replace('"', '""'))).encode("utf-8"))
PY
printf '[Target Date]\nTarget_Year=2000\nTarget_Month=2\nTarget_Day=29\n[File Options]\nProject Title=Launch, phase; 2\n' >"$SETTINGS"
settings_before=$(md5sum <"$SETTINGS")
milestones_before=$(md5sum <"$MILESTONES")

"$KESTREL" --export-ics "$E2E_TMP/kestrel.ics" || fail "kestrel --export-ics failed"
/usr/bin/python3 - "$E2E_TMP/kestrel.ics" <<'PY' || fail "the calendar does not read back"
import datetime, sys
import icalendar
raw = open(sys.argv[1], "rb").read()
for line in raw.split(b"\r\n"):
    assert len(line) <= 75, (len(line), line)
    line.decode("utf-8")  # no line is cut inside a character
assert raw.endswith(b"END:VCALENDAR\r\n")
calendar = icalendar.Calendar.from_ical(raw)
assert str(calendar["X-WR-CALNAME"]) == "Launch, phase; 2"
events = [(c.decoded("DTSTART"), c.decoded("DTEND"), str(c["SUMMARY"]), str(c["UID"])) for c in calendar.walk("VEVENT")]
want = [
    (datetime.date(2000, 2, 29), "Target day: Launch, phase; 2"),
    (datetime.date(2000, 1, 5), 'Review, sign; "approve"'),
    (datetime.date(2000, 1, 6), "Two lines\nsecond line"),
    (datetime.date(2000, 1, 7), "Café Zürich – Übergabe ✓ 日本"),
    (datetime.date(2000, 1, 8), "Back\\slash and a long text " + "é" * 60 + " that must be folded over several lines"),
    (datetime.date(2000, 1, 9), ""),
]
got = [(start, summary) for start, end, summary, uid in events]
assert got == want, got
for start, end, summary, uid in events:
    assert end == start + datetime.timedelta(days=1), (start, end)
assert len({uid for *_, uid in events}) == len(events)
print("ok: the calendar reads back with the same days and texts")
PY

# The UIDs stay the same from export to export.
"$KESTREL" --export-ics "$E2E_TMP/again.ics"
expect_eq "UIDs of a second export" "$(grep ^UID "$E2E_TMP/again.ics")" "$(grep ^UID "$E2E_TMP/kestrel.ics")"
expect_eq "settings file untouched" "$(md5sum <"$SETTINGS")" "$settings_before"
expect_eq "milestone file untouched" "$(md5sum <"$MILESTONES")" "$milestones_before"

# The milestone file itself, or a folder that does not exist, is refused with a message.
set +e
"$KESTREL" --export-ics "$MILESTONES" 2>"$E2E_TMP/err"
status=$?
set -e
expect_eq "exit status when asked to write over the milestones" "$status" "1"
expect_eq "milestone file still untouched" "$(md5sum <"$MILESTONES")" "$milestones_before"
set +e
"$KESTREL" --export-ics "$E2E_TMP/missing/kestrel.ics" 2>"$E2E_TMP/err"
status=$?
set -e
expect_eq "exit status for a missing folder" "$status" "1"
grep -q "76 Path not found" "$E2E_TMP/err" || fail "no message for a missing folder: $(cat "$E2E_TMP/err")"
echo "ok: a missing folder is reported"

# 31 December 9999, the last day a date can hold, as the target and a milestone: the export
# still works, from both programs, and the event of that day lasts one day.
STATUS="$(dirname "$KESTREL")/kestrel-status"
[ -x "$STATUS" ] || fail "no kestrel-status beside $KESTREL"
printf '" 2958464","Eve"\r\n" 2958465","Last day"\r\n' >"$MILESTONES"
printf '[Target Date]\nTarget_Year=9999\nTarget_Month=12\nTarget_Day=31\n' >"$SETTINGS"
"$KESTREL" --export-ics "$E2E_TMP/last.ics" || fail "kestrel --export-ics failed with the last day"
"$STATUS" --export-ics - >"$E2E_TMP/last-status.ics" || fail "kestrel-status --export-ics failed with the last day"
for file in "$E2E_TMP/last.ics" "$E2E_TMP/last-status.ics"; do
    /usr/bin/python3 - "$file" <<'PY' || fail "the calendar with the last day does not read back: $(cat "$file")"
import datetime, sys
import icalendar
calendar = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
events = []
for c in calendar.walk("VEVENT"):
    length = c.decoded("DURATION") if "DURATION" in c else c.decoded("DTEND") - c.decoded("DTSTART")
    events.append((c.decoded("DTSTART"), length, str(c["SUMMARY"])))
day = datetime.timedelta(days=1)
want = [
    (datetime.date(9999, 12, 31), day, "Target day: Year 2000 Conversion Project"),
    (datetime.date(9999, 12, 30), day, "Eve"),
    (datetime.date(9999, 12, 31), day, "Last day"),
]
assert events == want, events
PY
done
echo "ok: the last day reads back from both programs"
echo "PASS"
