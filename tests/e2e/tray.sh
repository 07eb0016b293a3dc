#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The count in the panel's tray, with a tray of the test's own on its private session bus (a
# StatusNotifierWatcher that says a host is registered): the icon registers with the countdown
# line as its tooltip, its menu opens the calendar, and with "Keep running in the tray when the
# toolbar is closed" closing the toolbar hides it until the menu or a second start shows it again,
# or the tray goes away. Without a tray the choice is greyed in the options and closing the
# toolbar ends the program.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
HERE="$(dirname "$0")"
ITEMS="$E2E_TMP/tray-items.log"

start_x # also starts the private session bus (DBUS_SESSION_BUS_ADDRESS)

start_tray() {
    : >"$ITEMS"
    setsid /usr/bin/python3 "$HERE/tray_watcher.py" "$ITEMS" >"$E2E_TMP/tray.out" 2>&1 &
    E2E_PIDS+=("$!")
    TRAY_PID=$!
    for _ in $(seq 1 100); do
        grep -q ready "$E2E_TMP/tray.out" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the tray did not start: $(cat "$E2E_TMP/tray.out")"
}

tray_item() { # command, args...
    /usr/bin/python3 "$HERE/tray_item.py" "$ITEM" "$@"
}

close_toolbar() {
    /usr/bin/python3 "$HERE/close_window.py" "$1"
}

printf '[Target Date]\nTarget_Year=2000\nTarget_Month=1\nTarget_Day=1\n[Tray]\nKeep Running When Toolbar Closed=True\n' >"$SETTINGS"
start_tray
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
toolbar=$(wait_window '^T-0:1:8:39:15$')

# 1. The icon registers with the tray, the countdown line as its tooltip.
wait_until 10 "no tray item registered" test -s "$ITEMS"
ITEM=$(head -n 1 "$ITEMS" | cut -d' ' -f1)
expect_eq "items registered" "$(wc -l <"$ITEMS")" "1"
expect_eq "the tooltip" "$(tray_item tooltip)" "T-0:1:8:39:15"
expect_eq "the menu" "$(tray_item menu | cut -d'|' -f2 | paste -sd,)" \
    "Hide _Toolbar,_Count Down,C_alendar,_Time Calculator,_Set Target Date,_Print Report,_Close"

# 2. Its menu opens the calendar.
tray_item click "Calendar"
wait_window 'Countdown Calendar$' >/dev/null
echo "ok: the tray's menu opened the calendar"

# 3. Closing the toolbar hides it in the tray and records and closes the calendar as at exit.
close_toolbar "$toolbar"
wait_no_window '^T-0:1:8:39:15$'
wait_no_window 'Countdown Calendar$'
kill -0 "$pid" 2>/dev/null || fail "kestrel ended when its toolbar closed"
expect_eq "recorded open at the close" "$(setting 'Forms Open' FormCount)|$(setting 'Forms Open' Form1)" "1|frmDeskCal"
expect_eq "the menu while hidden" "$(tray_item menu | head -n 1 | cut -d'|' -f2)" "Show _Toolbar"

# 4. The tray's menu shows it again, with the calendar.
tray_item click "Show Toolbar"
wait_window '^T-0:1:8:39:15$' >/dev/null
wait_window 'Countdown Calendar$' >/dev/null
echo "ok: the tray's menu showed the toolbar and its calendar again"

# 5. A second start shows the hidden toolbar.
toolbar=$(wait_window '^T-0:1:8:39:15$')
close_toolbar "$toolbar"
wait_no_window '^T-0:1:8:39:15$'
FAKETIME="1999-12-30 15:20:45" LD_PRELOAD="$FAKETIME_LIB" timeout 10 "$KESTREL" >"$E2E_TMP/second.log" 2>&1 ||
    fail "the second start failed"
toolbar=$(wait_window '^T-0:1:8:39:15$')
echo "ok: a second start showed the toolbar"

# 6. The tray goes away while the toolbar is hidden: the toolbar comes back.
close_toolbar "$toolbar"
wait_no_window '^T-0:1:8:39:15$'
kill -TERM "$TRAY_PID"
wait_gone "$TRAY_PID"
toolbar=$(wait_window '^T-0:1:8:39:15$' 10)
echo "ok: the toolbar came back when the tray went"

# 7. Without a tray, closing the toolbar ends the program.
close_toolbar "$toolbar"
wait_gone "$pid"
echo "ok: without a tray closing the toolbar ends kestrel"

# 8. Without a tray the choice is greyed in the options, with the line that says why.
start_at "1999-12-30 15:20:45" "$KESTREL"
pid=$E2E_LAST_PID
toolbar=$(wait_window '^T-0:1:8:39:15$')
xdotool windowfocus --sync "$toolbar"
xdotool key alt+t
sleep 0.3
xdotool key s
options=$(wait_window '^Countdown Options$')
xdotool windowfocus --sync "$options"
xdotool key ctrl+Prior # "More Options", the page before the first
# The tray choice as a screen reader finds it: whether it shows, whether it is greyed, and whether
# the line that says why shows.
tray_choice() {
    /usr/bin/python3 - <<'PY'
import pyatspi

found = {}

def walk(node):
    states = node.getState()
    showing = states.contains(pyatspi.STATE_SHOWING)
    if node.getRoleName() == "check box" and node.name == "Keep running in the tray when the toolbar is closed":
        found["box"] = ("showing " if showing else "hidden ") + (
            "enabled" if states.contains(pyatspi.STATE_ENABLED) else "greyed")
    if node.getRoleName() == "label" and (node.name or "").startswith("This desktop has no tray") and showing:
        found["why"] = "with why"
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i))

desktop = pyatspi.Registry.getDesktop(0)
for index in range(desktop.childCount):
    application = desktop.getChildAtIndex(index)
    if application is not None and application.name == "Kestrel":
        walk(application)
print(found.get("box", "missing"), found.get("why", "without why"))
PY
}
wait_until 10 "the tray choice is not greyed with a line saying why: $(tray_choice)" \
    eval '[ "$(tray_choice)" == "showing greyed with why" ]'
echo "ok: without a tray the choice is greyed, and a line says why"
xdotool key Escape
wait_no_window '^Countdown Options$'
xdotool windowfocus --sync "$toolbar"
xdotool key alt+c
wait_gone "$pid"
echo "PASS"
