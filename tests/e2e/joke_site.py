#!/usr/bin/env python3
"""A loopback joke site for the end-to-end tests and the demo.

Every request is recorded, byte for byte, as spool/request-<n>.bin. Any path
/detail1/<n>.html is answered with, in this order of precedence:
  spool/stall      a number of seconds to wait before answering (at most 120)
  spool/status     the status code to send (default 200)
  spool/page.bin   the bytes to send as the page
  otherwise one of the GBK sample pages in jokes/, chosen by <n>.
"""
import argparse
import itertools
import os
import re
import socketserver
import sys
import threading
import time

MAX_STALL_SECONDS = 120
REASONS = {200: "OK", 404: "Not Found", 500: "Internal Server Error"}


class Site:
    def __init__(self, spool, jokes):
        self.spool = spool
        self.jokes = sorted(os.path.join(jokes, name) for name in os.listdir(jokes) if name.endswith(".html"))
        self.counter = itertools.count(1)
        self.lock = threading.Lock()

    def read(self, name):
        path = os.path.join(self.spool, name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def record(self, raw):
        with self.lock:
            number = next(self.counter)
        path = os.path.join(self.spool, f"request-{number:04d}.bin")
        with open(path + ".part", "wb") as f:
            f.write(raw)
        os.replace(path + ".part", path)

    def answer(self, path):
        stall = self.read("stall")
        if stall:
            time.sleep(min(float(stall), MAX_STALL_SECONDS))
        status = int((self.read("status") or b"200").strip())
        page = self.read("page.bin")
        if page is None:
            match = re.match(r"^/detail1/(\d+)\.html$", path)
            number = int(match.group(1)) if match else 0
            with open(self.jokes[number % len(self.jokes)], "rb") as f:
                page = f.read()
        return status, page


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        self.connection.settimeout(30)
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.connection.recv(65536)
            if not chunk:
                return
            head += chunk
        header, _, body = head.partition(b"\r\n\r\n")
        length = re.search(rb"\r\ncontent-length:\s*(\d+)", header, re.I)
        want = int(length.group(1)) if length else 0
        while len(body) < want:
            chunk = self.connection.recv(65536)
            if not chunk:
                break
            body += chunk
        self.server.site.record(header + b"\r\n\r\n" + body)
        path = header.split(b"\r\n", 1)[0].split(b" ")[1].decode("latin-1")
        status, page = self.server.site.answer(path)
        reply = (f"HTTP/1.1 {status} {REASONS.get(status, 'Status')}\r\n"
                 f"Content-Type: text/html; charset=gb2312\r\n"
                 f"Content-Length: {len(page)}\r\nConnection: close\r\n\r\n").encode("latin-1")
        try:
            self.connection.sendall(reply + page)
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--spool", required=True)
    parser.add_argument("--jokes", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "jokes"))
    parser.add_argument("--ready-file", help="written once the site listens")
    args = parser.parse_args()
    os.makedirs(args.spool, exist_ok=True)
    server = Server((args.host, args.port), Handler)
    server.site = Site(args.spool, args.jokes)
    if args.ready_file:
        with open(args.ready_file, "w") as f:
            f.write(str(server.server_address[1]))
    print(f"joke site on http://{args.host}:{server.server_address[1]}/detail1/", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
