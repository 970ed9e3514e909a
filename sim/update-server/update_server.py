#!/usr/bin/env python3
"""Loopback stand-in for the update server (test equipment).

update_server.py --root DIR [--port N] [--log FILE] [--rule NAME=MODE ...]

Serves GET /bankremote/lccb/NAME from DIR/NAME ("Version.ini", the ".dat"
packages). A rule changes what one NAME gets: "404" (not found, with an
error page as the body), "hang" (the connection is accepted and never
answered), "close" (the headers promise more than is sent, then the
connection closes), "slow:S" (the body in steady pieces, one a second,
over S seconds), "stall:S" (half the body, nothing for S seconds, then the
rest). A missing file is a 404. Prints "port N" once it listens; every
request is appended to the log as "GET NAME", and the end of a "slow" or
"stall" body as "END NAME".
"""
import argparse
import http.server
import os
import socketserver
import sys
import threading
import time

PREFIX = "/bankremote/lccb/"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--log")
    ap.add_argument("--rule", action="append", default=[])
    args = ap.parse_args()
    rules = dict(r.split("=", 1) for r in args.rule)
    lock = threading.Lock()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def log_message(self, *a):
            pass

        def do_GET(self):
            name = self.path[len(PREFIX):] if self.path.startswith(PREFIX) else ""
            if args.log:
                with lock, open(args.log, "a") as f:
                    f.write("GET %s\n" % (name or self.path))
            mode = rules.get(name, "")
            path = os.path.join(args.root, name)
            if mode == "hang":
                while True:
                    time.sleep(3600)
            if mode == "404" or not name or "/" in name or not os.path.isfile(path):
                body = b"<html><body>404 Not Found</body></html>"
                self.send_response(404)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            with open(path, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            if mode == "close":
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
                self.close_connection = True
                return
            kind, _, seconds = mode.partition(":")
            if kind in ("slow", "stall"):
                self.paced(name, body, kind, float(seconds or 0))
                return
            self.wfile.write(body)

        def paced(self, name, body, kind, seconds):
            # (pause before, piece)
            if kind == "slow":
                steps = max(1, int(seconds))
                cuts = [len(body) * i // steps for i in range(steps + 1)]
                pieces = [(1.0 if i else 0, body[cuts[i]:cuts[i + 1]]) for i in range(steps)]
            else:
                pieces = [(0, body[: len(body) // 2]), (seconds, body[len(body) // 2:])]
            try:
                for pause, piece in pieces:
                    time.sleep(pause)
                    self.wfile.write(piece)
                    self.wfile.flush()
            except OSError:
                pass  # the client went away
            if args.log:
                with lock, open(args.log, "a") as f:
                    f.write("END %s\n" % name)

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True
        allow_reuse_address = True

    server = Server(("127.0.0.1", args.port), Handler)
    print("port %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
