# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A calendar server that misbehaves in the ways a real one cannot be made to, on a loopback
port: each path answers one way. /full/ takes the calendar's question but has no room for an
event (507); /moved/ sends every request to another host (127.0.0.2) and logs any password that
reaches that host; /text/ answers with plain text; /huge/ answers with hundreds of megabytes;
/slow/ does not answer for a minute; /ok/ behaves (an empty calendar). Where the calendar is
listed (REPORT), which Radicale always answers well: /notxml/ answers with bytes that are no XML,
/notlisting/ with XML that is no multi-status, /bigread/ with 300 MB holding one event of that
size, /manyread/ with 300 MB of events of 4 kB each, /longtext/ with an event whose summary is
5 MB beside a milestone; /parts/ lists its changes in two parts; their PROPFIND answers as a
calendar does. Any other path is no calendar
(404). Given a certificate and key (one PEM file), it also serves https with that self-signed
certificate. Prints "ready PORT" (and "tls PORT") once it listens."""
import http.server
import socketserver
import ssl
import sys
import threading
import time

LOG = sys.argv[1]


CALENDAR = (b"<?xml version='1.0'?><multistatus xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:caldav'><response>"
            b"<href>/</href><propstat><prop><resourcetype><collection/><C:calendar/></resourcetype></prop>"
            b"<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>")
EMPTY_LISTING = b"<?xml version='1.0'?><multistatus xmlns='DAV:'/>"


def event_response(number, summary=b"Milestone", description=b"", folder=b"/cal/"):
    """One response of a listing: a milestone's event in the calendar at `folder`, its text escaped
    as XML."""
    body = (b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bad//EN\r\nBEGIN:VEVENT\r\nUID:e%d\r\n"
            b"DTSTART;VALUE=DATE:20270105\r\nSUMMARY:" % number + summary + b"\r\n")
    if description:
        body += b"DESCRIPTION:" + description + b"\r\n"
    body += b"END:VEVENT\r\nEND:VCALENDAR\r\n"
    return (b"<response><href>%se%d.ics</href><propstat><prop><getetag>\"%d\"</getetag>"
            b"<C:calendar-data>" % (folder, number, number) + body.replace(b"&", b"&amp;").replace(b"<", b"&lt;") +
            b"</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat></response>")


LISTING_HEAD = b"<?xml version='1.0'?><multistatus xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:caldav'>"
LISTING_TAIL = b"</multistatus>"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", content_type="application/xml; charset=utf-8", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def handle_any(self):
        length = int(self.headers.get("Content-Length") or 0)
        self.body = self.rfile.read(length) if length else b""
        if self.server is OTHER:
            with open(LOG, "a") as log:
                log.write(f"{self.command} {self.path} authorization={self.headers.get('Authorization')}\n")
            self.answer(207, b"<?xml version='1.0'?><multistatus xmlns='DAV:'/>")
            return
        multistatus = b"<?xml version='1.0'?><multistatus xmlns='DAV:'><response><href>/</href></response></multistatus>"
        if self.path.startswith("/full/"):
            if self.command == "PROPFIND":
                self.answer(207, CALENDAR)
            else:
                self.answer(507, b"Insufficient Storage", "text/plain")
        elif self.path.startswith("/moved/"):
            port = OTHER.server_address[1]
            self.answer(301, b"", "text/plain", [("Location", f"http://127.0.0.2:{port}/stolen/")])
        elif self.path.startswith("/text/"):
            self.answer(200, b"Welcome to the server's home page", "text/html")
        elif self.path.startswith("/huge/"):
            self.send_response(207)
            self.send_header("Content-Type", "application/xml")
            self.send_header("Content-Length", str(400 * 1024 * 1024))
            self.end_headers()
            chunk = b"<x>" + b"a" * (1024 * 1024 - 7) + b"</x>\n"
            try:
                for _ in range(400):
                    self.wfile.write(chunk)
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif self.path.startswith("/ok/"):
            if self.command == "PROPFIND":
                self.answer(207, CALENDAR)
            elif self.command == "REPORT":
                self.answer(207, EMPTY_LISTING)
            else:
                self.answer(201, multistatus)
        elif self.path.startswith("/parts/"):
            self.parts()
        elif self.path.split("/")[1] in ("notxml", "notlisting", "bigread", "manyread", "longtext"):
            self.listing(self.path.split("/")[1])
        elif self.path.startswith("/slow/"):
            time.sleep(60)
        else:
            self.answer(404, b"", "text/plain")

    def listing(self, kind):
        if self.command != "REPORT":
            self.answer(207, CALENDAR)
        elif kind == "notxml":
            self.answer(207, b"\x00\x01 this is < no XML &&& at all")
        elif kind == "notlisting":
            self.answer(207, b"<?xml version='1.0'?><html><body>Welcome</body></html>")
        elif kind == "longtext":
            self.answer(207, LISTING_HEAD + event_response(1, b"x" * (5 * 1024 * 1024), folder=b"/longtext/") +
                        event_response(2, b"Ship", folder=b"/longtext/") + LISTING_TAIL)
        else:
            self.stream(kind)

    def parts(self):
        """A calendar that lists its changes in two parts (RFC 6578, 3.6): the first part's answer
        says 507 for the calendar itself and gives the token that the second part follows."""
        if self.command != "REPORT":
            self.answer(207, CALENDAR.replace(b"</prop>", b"<supported-report-set><supported-report><report>"
                                              b"<sync-collection/></report></supported-report></supported-report-set>"
                                              b"</prop>"))
            return
        gone = b"<response><href>/parts/e%d.ics</href><status>HTTP/1.1 404 Not Found</status></response>"
        if b"<D:sync-token>part-2</D:sync-token>" in self.body:
            listing = (event_response(2, b"Two again").replace(b"/cal/", b"/parts/") + gone % 1 +
                       event_response(3, b"Three").replace(b"/cal/", b"/parts/") + b"<sync-token>done</sync-token>")
        else:
            first = gone % 5 if b"<D:sync-token>delta</D:sync-token>" in self.body else (
                event_response(1, b"One") + event_response(2, b"Two")).replace(b"/cal/", b"/parts/")
            listing = (first + b"<response><href>/parts/</href><status>HTTP/1.1 507 Insufficient Storage</status>"
                       b"</response><sync-token>part-2</sync-token>")
        self.answer(207, LISTING_HEAD + listing + LISTING_TAIL)

    def stream(self, kind):
        """300 MB of listing, written as it is made."""
        size = 300 * 1024 * 1024
        if kind == "bigread":
            head = (LISTING_HEAD + b"<response><href>/bigread/big.ics</href><propstat><prop><getetag>\"big\"</getetag>"
                    b"<C:calendar-data>BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:")
            tail = (b"\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n</C:calendar-data></prop><status>HTTP/1.1 200 OK</status>"
                    b"</propstat></response>" + LISTING_TAIL)
            filler = size - len(head) - len(tail)
            chunk = b"a" * (1024 * 1024)
            pieces = [head] + [chunk] * (filler // len(chunk)) + [b"a" * (filler % len(chunk)), tail]
        else:
            # Numbers of eight digits: every event's answer has the same length.
            one = len(event_response(10000000, description=b"d" * 4000, folder=b"/manyread/"))
            count = (size - len(LISTING_HEAD) - len(LISTING_TAIL)) // one
            size = len(LISTING_HEAD) + count * one + len(LISTING_TAIL)
            pieces = self.many(count)
        self.send_response(207)
        self.send_header("Content-Type", "application/xml; charset=utf-8")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        try:
            for piece in pieces:
                self.wfile.write(piece)
        except (BrokenPipeError, ConnectionResetError):
            pass

    @staticmethod
    def many(count):
        yield LISTING_HEAD
        for number in range(count):
            yield event_response(10000000 + number, description=b"d" * 4000, folder=b"/manyread/")
        yield LISTING_TAIL

    do_PROPFIND = do_PUT = do_DELETE = do_GET = do_REPORT = handle_any


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


# The other host, on another loopback address, serves in a thread of its own.
OTHER = Server(("127.0.0.2", 0), Handler)
threading.Thread(target=OTHER.serve_forever, daemon=True).start()
server = Server(("127.0.0.1", 0), Handler)
if len(sys.argv) > 2:
    secure = Server(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2])
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    threading.Thread(target=secure.serve_forever, daemon=True).start()
    print(f"tls {secure.server_address[1]}", flush=True)
print(f"ready {server.server_address[1]}", flush=True)
server.serve_forever()
