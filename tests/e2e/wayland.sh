#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# kestrel as a native Wayland client: under weston's headless compositor, with no X server at
# all, the toolbar window appears with the exact countdown line, and a second start ends at once
# with status 0 while the first keeps running.
KESTREL="$1"
source "$(dirname "$0")/lib.sh"

# A compositor of our own, on a socket in this test's runtime folder.
setsid weston --backend=headless-backend.so --socket=wayland-kestrel-e2e --idle-time=0 \
    --width=1280 --height=800 >"$E2E_TMP/weston.log" 2>&1 &
E2E_PIDS+=("$!")
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/wayland-kestrel-e2e" ] && break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/wayland-kestrel-e2e" ] || fail "weston did not start: $(tail -n 5 "$E2E_TMP/weston.log")"
start_accessibility
unset DISPLAY
export WAYLAND_DISPLAY=wayland-kestrel-e2e QT_QPA_PLATFORM=wayland

# A settings file, even an empty one, keeps the first-run options dialog away.
: >"$SETTINGS"
start_at "1999-12-30 15:20:45" "$KESTREL"
first=$E2E_LAST_PID
# No window tool reaches into a Wayland compositor: the accessibility bus shows the window.
for _ in $(seq 1 100); do
    screen_text | grep -qx '  frame|T-0:1:8:39:15' && break
    sleep 0.2
done
screen_text | grep -qx '  frame|T-0:1:8:39:15' || fail "no toolbar window: $(screen_text | head -n 5)"
echo "ok: the toolbar window under Wayland"
toolbar=$(window_text "T-0:1:8:39:15")
grep -qx 'label|Today is: Dec 30, 1999 15:20:45' <<<"$toolbar" || fail "today line: $toolbar"
echo "ok: today line"

status=0
timeout 10 "$KESTREL" >"$E2E_TMP/second.log" 2>&1 || status=$?
expect_eq "second kestrel under Wayland: status" "$status" "0"
kill -0 "$first" 2>/dev/null || fail "the first kestrel has ended"
expect_eq "toolbar windows" "$(screen_text | grep -c '^  frame|T-')" "1"
echo "wayland e2e: passed"
