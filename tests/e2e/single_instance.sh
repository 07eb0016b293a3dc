#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# One kestrel per session: a second start brings the running toolbar forward and ends with
# status 0 without a window of its own; after the first is killed outright, the next start runs.
KESTREL="$1"
HOST_WINDOW="$2"
source "$(dirname "$0")/lib.sh"

start_x
start_at "1999-12-30 15:20:45" "$KESTREL"
first=$E2E_LAST_PID
toolbar=$(wait_window '^T-')

# Another window covers the toolbar, as when the user works elsewhere.
open_host 0 0 640 400
other=$host
toolbar_hex=$(printf '0x%x' "$toolbar")

# The two top-level windows from the top of the stack down (as xwininfo lists them).
stacking() {
    xwininfo -root -children | awk -v a="$toolbar_hex" -v b="$other" '$1 == a { print "toolbar" } $1 == b { print "other" }' |
        paste -sd' '
}
for _ in $(seq 1 50); do
    [ "$(stacking)" == "other toolbar" ] && break
    sleep 0.1
done
expect_eq "stacking before the second start" "$(stacking)" "other toolbar"

status=0
started=$(date +%s%N)
timeout 10 "$KESTREL" >"$E2E_TMP/second.log" 2>&1 || status=$?
elapsed=$((($(date +%s%N) - started) / 1000000))
expect_eq "second kestrel: status" "$status" "0"
echo "ok: the second kestrel ended after $elapsed ms"
expect_eq "second kestrel: output" "$(cat "$E2E_TMP/second.log")" ""
expect_eq "toolbar windows" "$(visible_windows '^T-' | wc -l)" "1"
for _ in $(seq 1 50); do
    [ "$(stacking)" == "toolbar other" ] && break
    sleep 0.1
done
expect_eq "stacking after the second start (the toolbar raised)" "$(stacking)" "toolbar other"
kill -0 "$first" 2>/dev/null || fail "the first kestrel has ended"

# Killed outright, the first leaves its lock and socket behind: they do not block the next.
kill -KILL -- "-$first" 2>/dev/null || true
wait_gone "$first"
start_at "1999-12-30 15:20:45" "$KESTREL"
next=$E2E_LAST_PID
wait_window '^T-' >/dev/null
kill -0 "$next" 2>/dev/null || fail "kestrel after a killed one ended"
echo "ok: kestrel starts after a killed one"
echo "single instance e2e: passed"
