#!/usr/bin/env python3
"""Loopback HTTP server for the updater's tests: list_server.py ROOT LOG.

Serves ROOT's files. A file NAME.pace beside a path sets how that path is
answered, at a pace the server keeps whatever the machine's speed:
  stall          accept and never answer
  late           answer after 0.8 s
  trickle        announce the whole body, send one byte per second
  endless        send bytes until the client goes (NAME need not exist)
  truncated      announce the whole body, send half and close
  not-modified   a bare 304
  redirect URL   a 302 to URL
Prints "PORT PID", then logs "PATH STATUS" per answer, before its body. A LOG
of "-" logs into server.log beside the folder of the file asked for, so tests
that share one server (under Wine) each keep a log of their own.
"""
import os
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT, LOG = sys.argv[1], sys.argv[2]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True  # headers and body go out as two writes

    def log_message(self, *args):
        pass

    def head(self, status, length=None, headers=()):
        file = os.path.join(ROOT, self.path.lstrip("/"))
        log_file = os.path.join(os.path.dirname(os.path.dirname(file)), "server.log") if LOG == "-" else LOG
        with open(log_file, "a") as log:
            log.write(f"{self.path} {status}\n")
        self.send_response(status)
        for header in headers:
            self.send_header(*header)
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.end_headers()
        self.wfile.flush()

    def do_GET(self):
        file = os.path.join(ROOT, self.path.lstrip("/"))
        pace = ""
        if os.path.isfile(file + ".pace"):
            with open(file + ".pace") as f:
                pace = f.read().strip()
        if pace == "stall":
            time.sleep(3600)
        if pace == "late":
            time.sleep(0.8)
        if pace == "endless":
            self.head(200)
            while True:
                self.wfile.write(b"x" * 65536)
        if pace == "not-modified":
            return self.head(304, 0)
        if pace.startswith("redirect "):
            return self.head(302, 0, [("Location", pace[len("redirect "):])])
        if not os.path.isfile(file):
            self.head(404, 10)
            return self.wfile.write(b"not found\n")
        with open(file, "rb") as f:
            body = f.read()
        self.head(200, len(body))
        if pace == "trickle":
            for byte in body:
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(1)
        elif pace == "truncated":
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
        else:
            self.wfile.write(body)


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # a client that leaves an endless or trickled body early


server = Server(("127.0.0.1", 0), Handler)
print(server.server_address[1], os.getpid(), flush=True)
server.serve_forever()
