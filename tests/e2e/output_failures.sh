#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Outputs that cannot be written, through the real programs: standard output on a full device,
# and files past the file-size limit (ulimit -f), which must be reported like a full disk and
# leave neither a half file nor a hidden temporary; and kestrel-status --version.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
STATUS="$(dirname "$KESTREL")/kestrel-status"
unset DISPLAY WAYLAND_DISPLAY

# 1. The version.
version=$("$STATUS" --version) || fail "kestrel-status --version: exit $?"
[[ "$version" =~ ^kestrel-status\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "kestrel-status --version printed '$version'"
echo "ok: $version"

# 2. Standard output on a full device: a message and status 1, not silence and status 0.
printf '[Target Date]\nTarget_Year=2000\n' >"$SETTINGS"
for command in "$STATUS" "$STATUS --json" "$KESTREL --line" "$STATUS --export-ics -" "$STATUS --help"; do
    status=0
    # shellcheck disable=SC2086 # the command's words are split on purpose
    faked frozen '1999-12-30 15:20:45' $command >/dev/full 2>"$E2E_TMP/err" || status=$?
    expect_eq "exit status of '$command' into /dev/full" "$status" "1"
    grep -q "No space left on device" "$E2E_TMP/err" || fail "no message from '$command': $(cat "$E2E_TMP/err")"
done
echo "ok: a full standard output is reported"

# 3. Files past the file-size limit: the calendar export and the report PDF fail with "61 Disk
# full", the file that was there stays as it was, and no temporary is left beside it.
mkdir -p "$XDG_DATA_HOME/kestrel"
for day in $(seq 36500 36700); do
    printf '" %d","Milestone number %d with a text long enough to fill the calendar"\r\n' "$day" "$day"
done >"$XDG_DATA_HOME/kestrel/mileston.txt"
out="$E2E_TMP/out"
mkdir -p "$out"
echo old >"$out/kestrel.ics"
echo old >"$out/report.pdf"
limited() { # program, args...: under a file-size limit of 4 KiB
    (
        ulimit -f 4
        faked frozen '1999-12-30 15:20:45' "$@"
    )
}
for command in "$STATUS --export-ics $out/kestrel.ics" "$KESTREL --export-ics $out/kestrel.ics" \
    "$KESTREL --report-pdf $out/report.pdf --from 1999-12"; do
    status=0
    # shellcheck disable=SC2086
    limited $command >/dev/null 2>"$E2E_TMP/err" || status=$?
    expect_eq "exit status of '$command' past the file-size limit" "$status" "1"
    grep -q "Disk full" "$E2E_TMP/err" || fail "no 'Disk full' from '$command': $(cat "$E2E_TMP/err")"
    expect_eq "files beside the targets after '$command'" "$(ls -A "$out" | tr '\n' ' ')" "kestrel.ics report.pdf "
done
expect_eq "the calendar that was there" "$(cat "$out/kestrel.ics")" "old"
expect_eq "the report that was there" "$(cat "$out/report.pdf")" "old"
echo "ok: past the file-size limit nothing is lost and nothing left behind"
echo "PASS"
