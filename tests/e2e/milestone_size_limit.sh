#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A milestone Apply past the file-size limit (ulimit -f): the real program says "61 Disk full"
# and goes on, the milestone file stays as it was, no temporary is left beside it, and the
# editor keeps the typed milestone for the next Apply. (With SIGXFSZ not ignored the program
# died on the write.)
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
MILESTONES="$XDG_DATA_HOME/kestrel/mileston.txt"

calendar_settings
# Milestones filling a file to 10 bytes under 4 KiB, so that one more goes past a limit of 4 KiB.
mkdir -p "$XDG_DATA_HOME/kestrel"
/usr/bin/python3 - "$MILESTONES" <<'PY'
import sys
lines = ['" %d","A milestone with a text of some length %d"\r\n' % (day, day) for day in range(36300, 36360)]
while sum(map(len, lines)) > 4086:
    lines.pop()
lines[-1] = lines[-1][:-3] + "x" * (4086 - sum(map(len, lines))) + '"\r\n'
open(sys.argv[1], "w", newline="").write("".join(lines))
PY
expect_eq "size of the milestone file" "$(stat -c %s "$MILESTONES")" "4086"
before=$(md5sum <"$MILESTONES")

start_x
# shellcheck disable=SC2016 # expanded by the inner shell
start_at "1999-12-16 10:00:00" bash -c 'ulimit -S -f 4 && exec "$0" "$@"' "$KESTREL"
pid=$E2E_LAST_PID
wait_calendar

open_editor 24
xdotool type --delay 20 "Past the limit"
xdotool key alt+a

wait_until 10 "no 'Disk full' message after Apply" eval 'screen_text | grep -q "61 Disk full: the milestones could not be saved to"'
kill -0 "$pid" 2>/dev/null || fail "kestrel ended on the write past the file-size limit"
echo "ok: the Apply past the limit is reported and kestrel goes on"
expect_eq "the milestone file" "$(md5sum <"$MILESTONES")" "$before"
expect_eq "files beside the milestone file" "$(ls -A "$XDG_DATA_HOME/kestrel" | tr '\n' ' ')" "mileston.txt "
xdotool key Return # closes the message
# With the limit lifted, Apply again saves the milestone the editor kept.
prlimit --pid "$pid" --fsize=unlimited
xdotool windowfocus --sync "$editor"
xdotool key alt+a
wait_until 10 "the kept milestone was not saved once the limit was lifted" grep -q '" 36518","Past the limit"' "$MILESTONES"
echo "ok: the typed milestone was kept in the editor and is saved at the next Apply"
echo "PASS"
