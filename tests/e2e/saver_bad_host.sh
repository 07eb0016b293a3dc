#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# kestrel-saver given a host window that is not there: a usage error (status 2 and a message),
# never the full-screen saver with the keyboard taken nor a stray window of its own. A host whose
# window goes away while the saver draws into it ends the saver (status 0).
SAVER="$1"
HOST_WINDOW="$2"
source "$(dirname "$0")/saver_lib.sh"

start_x

# A window that existed and is gone: its id is still well formed.
open_host 100 100 320 200
gone=$host
kill "$host_pid"
wait_gone "$host_pid"
for _ in $(seq 1 50); do
    xwininfo -id "$gone" >/dev/null 2>&1 || break
    sleep 0.1
done

# what, arguments, XSCREENSAVER_WINDOW, text of the message
while IFS='|' read -r what arguments host_variable message; do
    read -r -a args <<<"$arguments"
    status=0
    if [ -n "$host_variable" ]; then
        XSCREENSAVER_WINDOW="$host_variable" timeout 10 "$SAVER" "${args[@]}" 2>"$E2E_TMP/err" || status=$?
    else
        timeout 10 "$SAVER" "${args[@]}" 2>"$E2E_TMP/err" || status=$?
    fi
    expect_eq "$what: status" "$status" "2"
    grep -q "$message" "$E2E_TMP/err" || fail "$what: message '$(cat "$E2E_TMP/err")' lacks '$message'"
    [ -z "$(visible_windows "$SAVER_TITLE")" ] || fail "$what: a saver window showed"
    expect_eq "$what: windows on the root" "$(saver_child root)" ""
done <<TABLE
garbage id|-window-id junk||is not a window id
id 0|-window-id 0||is not a window id
negative id|-window-id -4194311||is not a window id
id beyond 32 bits|-window-id 0x100000001||is not a window id
destroyed window|-window-id $gone||there is no window $gone
destroyed window in XSCREENSAVER_WINDOW|-root|$gone|there is no window $gone
garbage in XSCREENSAVER_WINDOW|-root|junk|XSCREENSAVER_WINDOW='junk' is not a window id
TABLE

# The host's window goes away while the saver draws into it: the saver ends by itself.
open_host 100 100 320 200
start_at "$SAVER_TIME" "$SAVER" -window-id "$host"
pid=$E2E_LAST_PID
for _ in $(seq 1 100); do
    [ -n "$(saver_child "$host")" ] && break
    sleep 0.1
done
[ -n "$(saver_child "$host")" ] || fail "the saver did not draw into the host's window"
echo "ok: drawing into the host's window"
kill "$host_pid"
expect_exit "saver after its host's window went away" "$pid" 0 5
echo "saver bad host e2e: passed"
