#!/usr/bin/env python3
"""Loopback HTTP server for the updater's tests: list_server.py ROOT LOG.

Serves ROOT's files with an ETag and answers a matching If-None-Match with 304.
Paths under /slow/ answer late, under /truncated/ send half of what they
announce; /huge streams more than the updater accepts. Prints "PORT PID",
then logs "PATH STATUS" per request.
"""
import hashlib
import os
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT, LOG = sys.argv[1], sys.argv[2]
HUGE = 64 * 1024 * 1024 + 2


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=(), length=None):
        with open(LOG, "a") as log:
            log.write(f"{self.path} {status}\n")
        self.send_response(status)
        for header in headers:
            self.send_header(*header)
        if length is not False:
            self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path == "/huge":
            return self.answer(200, b"x" * HUGE, length=False)
        mode = path.split("/")[1]
        if mode in ("slow", "truncated"):
            path = path[len(mode) + 1:]
        if mode == "slow":
            time.sleep(5)
        file = os.path.join(ROOT, path.lstrip("/"))
        if not os.path.isfile(file):
            return self.answer(404, b"not found\n")
        with open(file, "rb") as f:
            body = f.read()
        etag = '"' + hashlib.sha256(body).hexdigest()[:16] + '"'
        if self.headers.get("If-None-Match") == etag:
            return self.answer(304, headers=[("ETag", etag)], length=0)
        if mode == "truncated":
            return self.answer(200, body[: len(body) // 2], [("ETag", etag)], len(body))
        self.answer(200, body, [("ETag", etag)])


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], os.getpid(), flush=True)
server.serve_forever()
