#!/usr/bin/env python3
"""A loopback HTTP server for the updater's tests.

Usage: list_server.py ROOT LOG. Serves the files of ROOT with an ETag and a
Last-Modified and answers conditional requests with 304. Paths under /slow/
answer late, under /truncated/ announce more bytes than they send; /huge streams
more than the updater accepts without announcing a length, /huge-announced only
announces it. Asked as a proxy (an absolute URL), it serves the URL's path as
its own. Prints the port on its first line and logs "TARGET STATUS" per request.
"""
import hashlib
import os
import sys
import time
from email.utils import formatdate, parsedate_to_datetime
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ROOT, LOG = sys.argv[1], sys.argv[2]
HUGE = 64 * 1024 * 1024 + 1


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=(), length=None):
        with open(LOG, "a") as log:
            log.write(f"{self.asked} {status}\n")
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.asked = path = self.path
        if path.startswith("http://"):
            path = "/" + path.split("/", 3)[3]
        if path == "/huge":
            self.close_connection = True
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            chunk = b"x" * (1 << 20)
            for _ in range(HUGE // len(chunk) + 1):
                self.wfile.write(chunk)
            return
        if path == "/huge-announced":
            self.close_connection = True
            return self.answer(200, b"", length=HUGE)
        mode = ""
        for prefix in ("/slow/", "/truncated/"):
            if path.startswith(prefix):
                mode, path = prefix, path[len(prefix) - 1:]
        if mode == "/slow/":
            time.sleep(5)
        file = os.path.join(ROOT, path.lstrip("/"))
        if not os.path.isfile(file):
            return self.answer(404, b"not found\n")
        with open(file, "rb") as f:
            body = f.read()
        etag = '"' + hashlib.sha256(body).hexdigest()[:16] + '"'
        mtime = int(os.path.getmtime(file))
        headers = [("ETag", etag), ("Last-Modified", formatdate(mtime, usegmt=True))]
        match = self.headers.get("If-None-Match")
        since = self.headers.get("If-Modified-Since")
        if match == etag or (match is None and since and parsedate_to_datetime(since).timestamp() >= mtime):
            return self.answer(304, headers=headers, length=0)
        if mode == "/truncated/":
            self.close_connection = True
            return self.answer(200, body[: len(body) // 2], headers, length=len(body))
        self.answer(200, body, headers)


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
