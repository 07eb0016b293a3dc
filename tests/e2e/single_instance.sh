#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# One kestrel per session: a second start brings the running toolbar forward and ends with
# status 0 without a window of its own; after the first is killed outright, the next start runs.
# A lock that no live kestrel of this user holds (empty, garbage, another user's in the shared
# temporary folder, a full folder) never makes a start claim that another runs.
KESTREL="$1"
HOST_WINDOW="$2"
source "$(dirname "$0")/lib.sh"

# A settings file, even an empty one, keeps the first-run options dialog away.
: >"$SETTINGS"
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
kill -TERM -- "-$next" 2>/dev/null || true
wait_gone "$next"
wait_no_window '^T-'

# Starts kestrel (with the environment changes given) and checks that it runs on its own: a
# toolbar of its own, no claim that another runs; then ends it.
runs_alone() { # what, env assignments...
    local what="$1"
    shift
    start_at "1999-12-30 15:20:45" env "$@" "$KESTREL"
    local pid=$E2E_LAST_PID
    wait_window '^T-' >/dev/null
    kill -0 "$pid" 2>/dev/null || fail "$what: kestrel ended ($(cat "$E2E_LAST_LOG"))"
    grep -q "already running" "$E2E_LAST_LOG" && fail "$what: kestrel says another runs"
    kill -TERM -- "-$pid" 2>/dev/null || true
    wait_gone "$pid"
    wait_no_window '^T-'
    echo "ok: $what: kestrel runs"
}

# Starts kestrel where no lock can be had: it says why on standard error and in a message box,
# and ends with status 1 once the box is closed; it never claims that another copy runs.
refused() { # what, expected part of the message, env assignments...
    local what="$1" part="$2"
    shift 2
    start_at "1999-12-30 15:20:45" env "$@" "$KESTREL"
    local pid=$E2E_LAST_PID box status=0
    box=$(wait_window '^Kestrel$')
    xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
    wait_gone "$pid"
    wait "$pid" || status=$?
    expect_eq "$what: status" "$status" "1"
    grep -q "already running" "$E2E_LAST_LOG" && fail "$what: kestrel says another runs"
    grep -q "^kestrel: Kestrel cannot start: .*$part" "$E2E_LAST_LOG" ||
        fail "$what: no reason on standard error: $(cat "$E2E_LAST_LOG")"
    echo "ok: $what: refused with a reason"
}

# A lock file that no live kestrel holds is taken over, whatever it holds.
: >"$XDG_RUNTIME_DIR/kestrel.lock"
runs_alone "an empty lock file"
printf 'garbage\001\002\nno process\n' >"$XDG_RUNTIME_DIR/kestrel.lock"
runs_alone "a lock file of garbage"

# Without XDG_RUNTIME_DIR, the shared temporary folder holds another user's lock and socket (and
# the runtime folder Qt would make there): they are not this user's, so they do not count.
shared="$E2E_TMP/shared-tmp"
mkdir -m 1777 "$shared"
mkdir -m 700 "$shared/runtime-$(id -un)"
printf '%s\nkestrel\n%s\n' "$$" "$(hostname)" >"$shared/kestrel.lock"
: >"$shared/kestrel.socket"
chown -R nobody "$shared"/runtime-* "$shared"/kestrel.*
runs_alone "another user's lock in the shared temporary folder" -u XDG_RUNTIME_DIR TMPDIR="$shared"
# Another user has made the folder this user's lock would go in: no lock can be had.
rm -rf "${shared:?}/kestrel-$(id -u)"
mkdir -m 700 "$shared/kestrel-$(id -u)"
chown nobody "$shared/kestrel-$(id -u)"
refused "another user's folder in the shared temporary folder" "belongs to another user" -u XDG_RUNTIME_DIR \
    TMPDIR="$shared"

# A full runtime folder: with no room for a byte the lock is still taken; with no room for a file
# at all there is no lock to be had.
full="$E2E_TMP/full-run"
mkdir -p "$full"
trap 'umount "$full" 2>/dev/null || true; e2e_cleanup' EXIT
if mount -t tmpfs -o size=16k,mode=0700 tmpfs "$full" 2>/dev/null; then
    dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null || true
    runs_alone "a runtime folder without room for a byte" XDG_RUNTIME_DIR="$full"
    umount "$full"
    mount -t tmpfs -o size=16k,nr_inodes=2,mode=0700 tmpfs "$full"
    for i in 1 2 3; do : >"$full/filler-$i" 2>/dev/null || true; done
    refused "a runtime folder without room for a file" "kestrel.lock" XDG_RUNTIME_DIR="$full"
    umount "$full"
else
    echo "skip: a full runtime folder (no tmpfs can be mounted here)"
fi
echo "single instance e2e: passed"
