#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop notifications through a notification service of the test's own on the test's private
# session bus: exactly one when the clock passes the target, one on the morning of a milestone's
# day, none again after a restart, none when switched off, a reminder days before and one when a
# yearly target renews, and nothing at all, not even a message, when no service runs.
source "$(dirname "$0")/lib.sh"
KESTREL="$1"
SERVICE="$(dirname "$0")/notify_service.py"
LOG="$E2E_TMP/notifications.log"

start_x # also starts the private session bus (DBUS_SESSION_BUS_ADDRESS)

start_service() {
    setsid /usr/bin/python3 "$SERVICE" "$LOG" >"$E2E_TMP/service.out" 2>&1 &
    E2E_PIDS+=("$!")
    SERVICE_PID=$!
    for _ in $(seq 1 100); do
        grep -q ready "$E2E_TMP/service.out" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the notification service did not start: $(cat "$E2E_TMP/service.out")"
}

# Runs kestrel with the clock starting at the given time and running on, for some seconds,
# then ends it as a logout would.
run_kestrel_from() { # time, seconds
    FAKETIME="$(faketime_value running "$1")" FAKETIME_DONT_FAKE_MONOTONIC=1 LD_PRELOAD="$FAKETIME_LIB" \
        setsid "$KESTREL" >"$E2E_TMP/program.log" 2>&1 &
    local pid=$!
    E2E_PIDS+=("$pid")
    wait_window '^T-' >/dev/null
    sleep "$2"
    kill -TERM -- "-$pid" 2>/dev/null || true
    wait_gone "$pid"
}

notification_count() {
    if [ -f "$LOG" ]; then wc -l <"$LOG"; else echo 0; fi
}

# A settings file, even an empty one, keeps the first-run options dialog away.
: >"$SETTINGS"
start_service

# 1. The clock passes midnight at the start of 1 January 2000: one notification.
run_kestrel_from '1999-12-31 23:59:57' 6
expect_eq "notifications after passing the target" "$(notification_count)" "1"
expect_eq "the notification" "$(cat "$LOG")" \
    "Kestrel | Year 2000 Conversion Project | The countdown to Jan 1, 2000 has reached zero."
expect_eq "remembered in the settings file" "$(setting Notifications 'Zero Given')" "2000-01-01"

# 2. A restart later the same day does not repeat it.
run_kestrel_from '2000-01-01 00:00:10' 3
expect_eq "notifications after a restart" "$(notification_count)" "1"

# 3. A milestone's day: one notification at nine, none again after a restart that day.
mkdir -p "$XDG_DATA_HOME/kestrel"
printf '" 36530","Review & sign off"\r\n" 36531","Ship"\r\n' >"$XDG_DATA_HOME/kestrel/mileston.txt"
run_kestrel_from '2000-01-05 08:59:57' 5
run_kestrel_from '2000-01-05 14:00:00' 3
expect_eq "notifications on a milestone's day" "$(notification_count)" "2"
expect_eq "the milestone notification" "$(tail -n 1 "$LOG")" "Kestrel | Milestone today | Review &amp; sign off"
expect_eq "milestone day remembered" "$(setting Notifications 'Milestone Day Given')" "36530"

# With the years-only format the countdown stands still after its first count; the milestone
# notification still comes.
printf '[Target Date]\nCaption_option=yy\n' >"$SETTINGS"
run_kestrel_from '2000-01-06 08:59:58' 13
expect_eq "notifications with the countdown standing still" "$(notification_count)" "3"
expect_eq "the milestone notification of the next day" "$(tail -n 1 "$LOG")" "Kestrel | Milestone today | Ship"

# 4. Switched off in the settings file: the next target passes without a notification.
printf '[Target Date]\nTarget_Year=2001\n[Notifications]\nEnabled=False\n' >"$SETTINGS"
run_kestrel_from '2000-12-31 23:59:58' 4
expect_eq "notifications while switched off" "$(notification_count)" "3"

# 5. A target that renews every year, with a reminder seven days before. Kestrel last ran years
# ago: at the start it stores the new year with one notification, at nine the reminder comes,
# once, also across a restart that day.
printf '[Target Date]\nTarget_Year=2000\nTarget_Month=12\nTarget_Day=25\nRenew_Yearly=True\n[Notifications]\nRemind Days Before=30,7\n' >"$SETTINGS"
run_kestrel_from '2003-12-18 08:59:57' 6
expect_eq "notifications after the renewal and the reminder" "$(notification_count)" "5"
expect_eq "the renewal notification" "$(tail -n 2 "$LOG" | head -n 1)" \
    "Kestrel | Year 2000 Conversion Project | The countdown to Dec 25, 2000 has passed. It renews every year and now counts to Dec 25, 2003."
expect_eq "the reminder" "$(tail -n 1 "$LOG")" \
    "Kestrel | Year 2000 Conversion Project | The countdown to Dec 25, 2003 ends in 7 days."
expect_eq "the new year stored" "$(setting 'Target Date' Target_Year)" "2003"
expect_eq "the reminder remembered" "$(setting Notifications 'Reminder Given')" "2003-12-25 7"
run_kestrel_from '2003-12-18 15:00:00' 3
expect_eq "notifications after a restart on the reminder's day" "$(notification_count)" "5"

# 6. No notification service: nothing is shown, nothing reported, nothing remembered.
kill -TERM "$SERVICE_PID"
wait_gone "$SERVICE_PID"
printf '[Target Date]\nTarget_Year=2001\n' >"$SETTINGS"
run_kestrel_from '2000-12-31 23:59:58' 4 &
runner=$!
sleep 3
if [ -n "$(visible_windows '^Kestrel$')" ]; then
    fail "a message box came up without a notification service"
fi
wait "$runner"
expect_eq "notifications without a service" "$(notification_count)" "5"
expect_eq "nothing remembered without a service" "$(setting Notifications 'Zero Given')" ""
echo "PASS"
