#!/usr/bin/python3
"""A mirror that serves a repository as a web server does, until told to lie.

usage: hostile_mirror.py PORT DIR CONTROL

Serves the files under DIR on 127.0.0.1:PORT. Before each request it reads
CONTROL, a file of one line, "MODE [ARGUMENT]":
  honest          the files as they are
  from OTHER_DIR  the files under OTHER_DIR instead (a stale mirror)
  endless NAME    NAME answered with bytes that never end, with no length
Each request is logged on stdout as "METHOD PATH STATUS BYTES".
"""
import http.server
import os
import sys

PORT, ROOT, CONTROL = int(sys.argv[1]), sys.argv[2], sys.argv[3]
CHUNK = b"Package: x\n" * 6000


def mode():
    try:
        with open(CONTROL, encoding="ascii") as control:
            words = control.read().split()
    except OSError:
        words = []
    return (words + ["honest", ""])[:2] if words else ["honest", ""]


class Mirror(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *_):
        pass

    def record(self, status, sent):
        print(f"{self.command} {self.path} {status} {sent}", flush=True)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        kind, argument = mode()
        name = self.path.split("?")[0].lstrip("/")
        name = name[2:] if name.startswith("./") else name
        if kind == "endless" and name == argument:
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            sent = 0
            try:
                while True:
                    self.wfile.write(CHUNK)
                    sent += len(CHUNK)
            except OSError:
                self.record(200, sent)
                self.close_connection = True
                return
        root = argument if kind == "from" else ROOT
        path = os.path.join(root, name)
        if ".." in name.split("/") or not os.path.isfile(path):
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            self.record(404, 0)
            return
        stat = os.stat(path)
        stamp = self.date_time_string(int(stat.st_mtime))
        if self.headers.get("If-Modified-Since") == stamp:
            self.send_response(304)
            self.send_header("Content-Length", "0")
            self.end_headers()
            self.record(304, 0)
            return
        with open(path, "rb") as served:
            body = served.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Last-Modified", stamp)
        self.end_headers()
        if self.command == "GET":
            self.wfile.write(body)
        self.record(200, len(body) if self.command == "GET" else 0)


http.server.ThreadingHTTPServer.daemon_threads = True
server = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Mirror)
print("Serving HTTP", flush=True)
server.serve_forever()
