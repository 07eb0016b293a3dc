#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The shared calendar's benchmarks against a real Radicale on a loopback port, with a temporary
store and two users who share one calendar.

  sync_radicale.py record EVENTS FILE   writes Radicale's answer to a first sync-collection
                                        report of a calendar of EVENTS all-day events to FILE,
                                        and its answer to the next one, with the token of the
                                        first and nothing changed, to FILE.unchanged, for the
                                        benchmarks that replay server answers
  sync_radicale.py time KESTREL EVENTS  times `kestrel --sync` (wall time, median of 3 rounds):
                                        alice sending EVENTS new milestones, bob receiving them,
                                        and an unchanged sync; and Radicale alone taking EVENTS
                                        PUTs from one client; prints one JSON object

The calendar's events are written straight into Radicale's store (Radicale reads its store as
files), so that a calendar of 10,000 events is made in a second rather than by 10,000 requests."""
import base64
import http.client
import json
import os
import re
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

EPOCH_DAY = 46392  # day number of 5 January 2027
# The report Kestrel sends: every change since the token, with each event's entity tag and data.
SYNC_REPORT = """<?xml version="1.0" encoding="utf-8"?>
<D:sync-collection xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"><D:sync-token>%s</D:sync-token>\
<D:sync-level>1</D:sync-level><D:prop><D:getetag/><C:calendar-data/></D:prop></D:sync-collection>
"""


def event(uid, day, text):
    import datetime

    date = datetime.date(1899, 12, 30) + datetime.timedelta(days=day)
    return (
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//a calendar program//EN\r\nBEGIN:VEVENT\r\n"
        f"UID:{uid}\r\nDTSTAMP:20261207T120000Z\r\nDTSTART;VALUE=DATE:{date:%Y%m%d}\r\n"
        f"DTEND;VALUE=DATE:{date + datetime.timedelta(days=1):%Y%m%d}\r\nSUMMARY:{text}\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n"
    )


class Radicale:
    """Radicale on a free loopback port; alice and bob read and change /team/project/."""

    def __init__(self, folder):
        self.folder = folder
        self.calendar = os.path.join(folder, "store/collection-root/team/project")
        os.makedirs(self.calendar)
        with open(os.path.join(self.calendar, ".Radicale.props"), "w") as props:
            props.write('{"tag": "VCALENDAR", "D:displayname": "Project"}')
        with open(os.path.join(folder, "users"), "w") as users:
            users.write("alice:alice-secret\nbob:bob-secret\n")
        with open(os.path.join(folder, "rights"), "w") as rights:
            rights.write(
                "[root]\nuser: .+\ncollection:\npermissions: R\n"
                "[team]\nuser: alice|bob\ncollection: team\npermissions: R\n"
                "[project]\nuser: alice|bob\ncollection: team/project\npermissions: rw\n"
            )
        probe = socket.socket()
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()
        with open(os.path.join(folder, "config"), "w") as config:
            config.write(
                f"[server]\nhosts = 127.0.0.1:{port}\n[auth]\ntype = htpasswd\n"
                f"htpasswd_filename = {folder}/users\nhtpasswd_encryption = plain\n"
                f"[rights]\ntype = from_file\nfile = {folder}/rights\n"
                f"[storage]\nfilesystem_folder = {folder}/store\n[logging]\nlevel = warning\n"
            )
        self.url = f"http://127.0.0.1:{port}/team/project/"
        self.process = None

    def put_events(self, count, first_day=EPOCH_DAY):
        for i in range(count):
            with open(os.path.join(self.calendar, f"event-{i}.ics"), "w", newline="") as item:
                item.write(event(f"event-{i}", first_day + i, f"Milestone {i}"))

    def start(self):
        self.process = subprocess.Popen(
            ["radicale", "--config", os.path.join(self.folder, "config")],
            stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.folder, "radicale.log"), "w"),
        )
        for _ in range(200):
            try:
                self.request("PROPFIND", b"", {"Depth": "0"})
                return
            except OSError:
                time.sleep(0.05)
        sys.exit("Radicale did not start: " + open(os.path.join(self.folder, "radicale.log")).read())

    def stop(self):
        if self.process:
            self.process.terminate()
            self.process.wait()

    def request(self, verb, body, headers):
        request = urllib.request.Request(self.url, data=body, method=verb)
        request.add_header("Authorization", "Basic " + base64.b64encode(b"bob:bob-secret").decode())
        for name, value in headers.items():
            request.add_header(name, value)
        with urllib.request.urlopen(request, timeout=120) as answer:
            return answer.read()

    def sync_report(self, token=""):
        body = (SYNC_REPORT % token).encode()
        return self.request("REPORT", body, {"Depth": "0", "Content-Type": "application/xml"})


def record(events, path):
    folder = tempfile.mkdtemp(prefix="kestrel-bench-radicale-")
    radicale = Radicale(folder)
    try:
        radicale.put_events(events)
        radicale.start()
        answer = radicale.sync_report()
        token = re.search(rb"<sync-token>([^<]*)</sync-token>", answer)[1].decode()
        # Radicale's own time for the same answers once its cache is warm.
        start = time.perf_counter()
        radicale.sync_report()
        server_seconds = time.perf_counter() - start
        start = time.perf_counter()
        unchanged = radicale.sync_report(token)
        unchanged_seconds = time.perf_counter() - start
    finally:
        radicale.stop()
        shutil.rmtree(folder)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as out:
        out.write(answer)
    with open(path + ".unchanged", "wb") as out:
        out.write(unchanged)
    print(json.dumps({"events": events, "bytes": len(answer), "radicale_seconds": server_seconds,
                      "radicale_unchanged_seconds": unchanged_seconds}))


def member(folder, name, url):
    home = os.path.join(folder, name)
    os.makedirs(os.path.join(home, ".config/kestrel"))
    os.makedirs(os.path.join(home, ".local/share/kestrel"))
    password = os.path.join(folder, name + ".password")
    with open(password, "w") as f:
        f.write(name + "-secret\n")
    os.chmod(password, 0o600)
    with open(os.path.join(home, ".config/kestrel/KESTREL.INI"), "w") as settings:
        settings.write(
            "[Target Date]\nTarget_Year=2030\nTarget_Month=1\nTarget_Day=1\n"
            f"[Shared Calendar]\nCalendar URL={url}\nUser Name={name}\nShare Milestones=True\n"
            f"Password File={password}\n"
        )
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share",
               XDG_STATE_HOME=home + "/.local/state")
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return home, env


def timed_sync(kestrel, env):
    start = time.perf_counter()
    done = subprocess.run([kestrel, "--sync"], env=env, capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"kestrel --sync failed ({done.returncode}): {done.stderr.strip()}")
    return seconds


def time_syncs(kestrel, events):
    rounds = {"send": [], "receive": [], "unchanged": []}
    for _ in range(3):
        folder = tempfile.mkdtemp(prefix="kestrel-bench-sync-")
        radicale = Radicale(os.path.join(folder, "radicale"))
        try:
            radicale.start()
            alice, alice_env = member(folder, "alice", radicale.url)
            bob, bob_env = member(folder, "bob", radicale.url)
            with open(os.path.join(alice, ".local/share/kestrel/mileston.txt"), "w", newline="") as milestones:
                milestones.write("".join(f'" {EPOCH_DAY + i}","Milestone {i}"\r\n' for i in range(events)))
            rounds["send"].append(timed_sync(kestrel, alice_env))
            rounds["receive"].append(timed_sync(kestrel, bob_env))
            with open(os.path.join(bob, ".local/share/kestrel/mileston.txt"), "rb") as received:
                records = received.read().count(b"\r\n")
            if records != events:
                sys.exit(f"bob's first sync brought {records} milestones, not {events}")
            rounds["unchanged"].append(timed_sync(kestrel, bob_env))
        finally:
            radicale.stop()
            shutil.rmtree(folder)
    # Radicale alone taking the same events, one PUT each from a client that keeps its connection.
    folder = tempfile.mkdtemp(prefix="kestrel-bench-sync-")
    radicale = Radicale(os.path.join(folder, "radicale"))
    try:
        radicale.start()
        address = urllib.parse.urlparse(radicale.url)
        connection = http.client.HTTPConnection(address.hostname, address.port)
        start = time.perf_counter()
        for i in range(events):
            connection.request("PUT", f"{address.path}event-{i}.ics", event(f"event-{i}", EPOCH_DAY + i, f"Milestone {i}"),
                               {"Authorization": "Basic " + base64.b64encode(b"alice:alice-secret").decode(),
                                "Content-Type": "text/calendar; charset=utf-8", "If-None-Match": "*"})
            connection.getresponse().read()
        radicale_puts = time.perf_counter() - start
        connection.close()
    finally:
        radicale.stop()
        shutil.rmtree(folder)
    print(json.dumps({name: statistics.median(values) for name, values in rounds.items()} |
                     {"events": events, "radicale_puts": radicale_puts}))


def main(args):
    if len(args) == 3 and args[0] == "record":
        record(int(args[1]), args[2])
        return 0
    if len(args) == 3 and args[0] == "time":
        time_syncs(args[1], int(args[2]))
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
