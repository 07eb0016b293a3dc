# SPDX-FileCopyrightText: 2026 The Kestrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A calendar server that misbehaves in the ways a real one cannot be made to, on a loopback
port: each path answers one way. /full/ takes the calendar's question but has no room for an
event (507); /moved/ sends every request to another host (127.0.0.2) and logs any password that
reaches that host; /text/ answers with plain text; /huge/ answers with hundreds of megabytes;
/slow/ does not answer for a minute; /ok/ behaves. Given a certificate and key (one PEM file),
it also serves https with that self-signed certificate. Prints "ready PORT" (and "tls PORT")
once it listens."""
import http.server
import socketserver
import ssl
import sys
import threading
import time

LOG = sys.argv[1]


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
        if length:
            self.rfile.read(length)
        if self.server is OTHER:
            with open(LOG, "a") as log:
                log.write(f"{self.command} {self.path} authorization={self.headers.get('Authorization')}\n")
            self.answer(207, b"<?xml version='1.0'?><multistatus xmlns='DAV:'/>")
            return
        multistatus = b"<?xml version='1.0'?><multistatus xmlns='DAV:'><response><href>/</href></response></multistatus>"
        if self.path.startswith("/full/"):
            if self.command == "PROPFIND":
                self.answer(207, multistatus)
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
            self.answer(207 if self.command == "PROPFIND" else 201, multistatus)
        elif self.path.startswith("/slow/"):
            time.sleep(60)
        else:
            self.answer(404, b"", "text/plain")

    do_PROPFIND = do_PUT = do_DELETE = do_GET = handle_any


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
