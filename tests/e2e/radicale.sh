# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A real CalDAV server for the shared-calendar tests: Radicale on a free loopback port, with a
# temporary store, three users (alice, bob and carol, passwords in plain htpasswd form) and a rights
# file that lets alice and bob read and change one calendar, /team/project/, and carol only read it.
# Source after lib.sh.

RADICALE_DIR="$E2E_TMP/radicale"

# Starts the server and sets RADICALE_URL to the team's calendar.
start_radicale() {
    mkdir -p "$RADICALE_DIR/store/collection-root/team/project"
    printf '{"tag": "VCALENDAR", "D:displayname": "Project"}' \
        >"$RADICALE_DIR/store/collection-root/team/project/.Radicale.props"
    printf 'alice:alice-secret\nbob:bob-secret\ncarol:carol-secret\n' >"$RADICALE_DIR/users"
    cat >"$RADICALE_DIR/rights" <<'RIGHTS'
[root]
user: .+
collection:
permissions: R
[principal]
user: .+
collection: {user}
permissions: RW
[team]
user: alice|bob|carol
collection: team
permissions: R
[project]
user: alice|bob
collection: team/project
permissions: rw
[project-readers]
user: carol
collection: team/project
permissions: r
RIGHTS
    local port
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat >"$RADICALE_DIR/config" <<CONFIG
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $RADICALE_DIR/users
htpasswd_encryption = plain
[rights]
type = from_file
file = $RADICALE_DIR/rights
[storage]
filesystem_folder = $RADICALE_DIR/store
[logging]
level = warning
CONFIG
    RADICALE_URL="http://127.0.0.1:$port/team/project/"
    run_radicale
}

# Starts the server configured by start_radicale (again, after it was stopped), on the same port
# and store, and waits until it answers.
run_radicale() {
    setsid radicale --config "$RADICALE_DIR/config" >>"$E2E_TMP/radicale.log" 2>&1 &
    E2E_PIDS+=("$!")
    RADICALE_PID=$!
    wait_until 20 "Radicale did not start: $(cat "$E2E_TMP/radicale.log")" \
        curl -fs -o /dev/null -u bob:bob-secret -X PROPFIND -H 'Depth: 0' "$RADICALE_URL"
}

# Stops the server, with the signal given (TERM by default; KILL as a crash would), and waits
# until it is gone.
stop_radicale() { # [signal]
    kill "-${1:-TERM}" "$RADICALE_PID"
    # The server is this shell's child: waiting for it also keeps the shell from reporting a kill.
    wait "$RADICALE_PID" 2>/dev/null || true
    # Its process id may soon be another program's: the clean-up at the end must not signal it.
    local pid kept=()
    for pid in "${E2E_PIDS[@]}"; do
        [ "$pid" == "$RADICALE_PID" ] || kept+=("$pid")
    done
    E2E_PIDS=("${kept[@]}")
}

# Starts the scripted server that misbehaves as Radicale cannot (tests/e2e/bad_calendar_server.py),
# over http and over https with a self-signed certificate made here ($E2E_TMP/server.crt). BAD is its
# http address; $E2E_TMP/bad-server.out holds its ports, $E2E_TMP/other-host.log what reached the
# "other host".
start_bad_calendar_server() {
    openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 2 -keyout "$E2E_TMP/server.pem" \
        -out "$E2E_TMP/server.crt" 2>/dev/null
    cat "$E2E_TMP/server.crt" >>"$E2E_TMP/server.pem"
    setsid python3 -u "$(dirname "$0")/bad_calendar_server.py" "$E2E_TMP/other-host.log" "$E2E_TMP/server.pem" \
        >"$E2E_TMP/bad-server.out" 2>&1 &
    E2E_PIDS+=("$!")
    wait_until 10 "the misbehaving server did not start" grep -qs '^ready' "$E2E_TMP/bad-server.out"
    BAD="http://127.0.0.1:$(sed -n 's/^ready //p' "$E2E_TMP/bad-server.out")"
}

# The calendar as the other user reads it.
calendar_as_bob() {
    curl -fs -u bob:bob-secret "$RADICALE_URL"
}
