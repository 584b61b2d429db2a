#!/usr/bin/env python3
"""A loopback HTTP/1.1 test server whose behaviour is chosen by the path.

Paths (the query parameters are percent-decoded to bytes, latin-1):
  /r/<id>/<rest>   records the raw request (request line, headers, body, as
                   received) into <spool>/<id>.req and the response body sent
                   into <spool>/<id>.sent, then serves <rest>
  /echo            200, the body is the raw request
  /fixed           status=<n> (200), reason=<text>, h=<raw header line> (any
                   number, sent as given, any bytes), pad=<n> (filler header
                   lines of about n bytes in front of the h lines), body=<bytes>
  /redirect        status=<3xx> (302), to=<location>, body=<bytes>
  /random          size=<n> random bytes (zero bytes included), Content-Length;
                   chunked=<piece size> sends them in chunks instead
  /cut             size=<n> announced, cut=<k> bytes sent, then the connection closes
  /stall           seconds=<s> (at most 30) of silence, then 200 "stalled"
  /files/<name>    the file of that name from the --files folder (a CRL, say)
Anything else is 404. With --cert and --key the server speaks TLS.
"""
import argparse
import http
import os
import random
import re
import socket
import socketserver
import ssl
import time
import urllib.parse

MAX_HEAD = 256 * 1024
IDLE_SECONDS = 30
MAX_STALL = 30


class Request:
    def __init__(self, raw, method, target, headers, body):
        self.raw = raw
        self.method = method
        self.target = target
        self.headers = headers
        self.body = body

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None


def read_request(stream):
    """One request from the connection, or None when it closed first."""
    head = b""
    while not head.endswith(b"\r\n\r\n"):
        line = stream.readline(MAX_HEAD)
        if not line:
            return None
        head += line
        if head in (b"\r\n", b"\n"):
            head = b""  # blank lines in front of a request are skipped
        if len(head) > MAX_HEAD:
            return None
    lines = head[:-4].split(b"\r\n")
    parts = lines[0].split(b" ")
    if len(parts) < 2:
        return None
    headers = []
    for line in lines[1:]:
        key, _, value = line.partition(b":")
        headers.append((key.strip().decode("latin-1"), value.strip()))
    request = Request(head, parts[0].decode("latin-1"), parts[1], headers, b"")
    if (request.header("Expect") or b"").lower() == b"100-continue":
        stream.write(b"HTTP/1.1 100 Continue\r\n\r\n")
        stream.flush()
    length = request.header("Content-Length")
    if length is not None:
        request.body = stream.read(int(length))
    elif (request.header("Transfer-Encoding") or b"").lower() == b"chunked":
        body = b""
        while True:
            size_line = stream.readline()
            size = int(size_line.split(b";")[0], 16)
            chunk = stream.read(size + 2)
            body += chunk[:size]
            head += size_line + chunk
            if size == 0:
                head += stream.readline()
                break
        request.body = body
        request.raw = head
        return request
    request.raw = head + request.body
    return request


class Response:
    def __init__(self, status=200, reason="OK", headers=None, body=b""):
        self.status = status
        self.reason = reason
        self.headers = headers or []
        self.body = body
        self.chunk = 0   # piece size for chunked transfer; 0 for Content-Length
        self.cut = None  # bytes of the body sent before the connection is cut


def phrase(status):
    try:
        return http.HTTPStatus(status).phrase
    except ValueError:
        return "Status"


def query_values(target):
    query = target.partition(b"?")[2]
    return urllib.parse.parse_qs(query.decode("latin-1"), keep_blank_values=True,
                                 encoding="latin-1")


def first(values, name, default):
    return values.get(name, [default])[0]


def fixed(values):
    status = int(first(values, "status", "200"))
    response = Response(status, first(values, "reason", phrase(status)))
    pad = int(first(values, "pad", "0"))
    number = 0
    while pad > 0:
        line = "X-Pad-%d: %s" % (number, "p" * min(pad, 100))
        response.headers.append(line.encode("latin-1"))
        pad -= len(line) + 2
        number += 1
    response.headers += [line.encode("latin-1") for line in values.get("h", [])]
    response.body = first(values, "body", "").encode("latin-1")
    return response


def redirect(values):
    status = int(first(values, "status", "302"))
    response = Response(status, phrase(status))
    response.headers.append(b"Location: " + first(values, "to", "/").encode("latin-1"))
    response.body = first(values, "body", "").encode("latin-1")
    return response


def random_body(values):
    size = int(first(values, "size", "0"))
    response = Response(body=random.randbytes(size))
    response.headers.append(b"Content-Type: application/octet-stream")
    response.chunk = int(first(values, "chunked", "0"))
    return response


def cut(values):
    response = random_body(values)
    response.cut = int(first(values, "cut", "0"))
    return response


def stall(values):
    time.sleep(min(float(first(values, "seconds", "1")), MAX_STALL))
    return Response(body=b"stalled")


ROUTES = {"echo": None, "fixed": fixed, "redirect": redirect, "random": random_body,
          "cut": cut, "stall": stall}


def serve_file(folder, name):
    if not folder or not re.fullmatch(r"[A-Za-z0-9._-]+", name) or name.startswith("."):
        return Response(404, "Not Found", body=b"no such file")
    try:
        with open(os.path.join(folder, name), "rb") as handle:
            return Response(body=handle.read(), headers=[b"Content-Type: application/octet-stream"])
    except OSError:
        return Response(404, "Not Found", body=b"no such file")


def route(request, files):
    """The record id (or None) and the response for one request."""
    target = request.target
    if b"://" in target.split(b"?")[0]:  # absolute form, as sent to a proxy
        target = b"/" + target.split(b"://", 1)[1].partition(b"/")[2]
    path, _, _ = target.partition(b"?")
    segments = path.decode("latin-1").split("/")[1:]
    record = None
    if len(segments) >= 3 and segments[0] == "r":
        record = segments[1]
        segments = segments[2:]
    name = segments[0] if segments else ""
    if name == "files" and len(segments) == 2:
        return record, serve_file(files, segments[1])
    if name not in ROUTES:
        return record, Response(404, "Not Found", body=b"no such behaviour")
    if name == "echo":
        return record, Response(body=request.raw,
                                headers=[b"Content-Type: application/octet-stream"])
    return record, ROUTES[name](query_values(target))


def save(spool, name, data):
    temporary = os.path.join(spool, name + ".part")
    with open(temporary, "wb") as handle:
        handle.write(data)
    os.replace(temporary, os.path.join(spool, name))


def wire_bytes(response, method):
    """The bytes of the response, the body bytes among them, and whether the
    connection stays open after them."""
    head = b"HTTP/1.1 %d %s\r\n" % (response.status, response.reason.encode("latin-1"))
    for line in response.headers:
        head += line + b"\r\n"
    body = response.body if method != "HEAD" else b""
    if response.chunk:
        chunks = b"".join(b"%x\r\n" % len(body[at:at + response.chunk]) + body[at:at + response.chunk] + b"\r\n"
                          for at in range(0, len(body), response.chunk))
        return head + b"Transfer-Encoding: chunked\r\n\r\n" + chunks + b"0\r\n\r\n", body, True
    head += b"Content-Length: %d\r\n\r\n" % len(response.body)
    if response.cut is not None:
        return head + body[:response.cut], body[:response.cut], False
    return head + body, body, True


class Handler(socketserver.StreamRequestHandler):
    def setup(self):
        self.request.settimeout(IDLE_SECONDS)
        if self.server.context:
            # The handshake runs on the connection's own thread, so a client that
            # never completes one holds up nobody else.
            self.request = self.server.context.wrap_socket(self.request, server_side=True)
        super().setup()

    def handle(self):
        try:
            while True:
                request = read_request(self.rfile)
                if request is None:
                    return
                record, response = route(request, self.server.files)
                data, sent, keep = wire_bytes(response, request.method)
                # Both records are complete before the client can see the answer.
                if record:
                    save(self.server.spool, record + ".req", request.raw)
                    save(self.server.spool, record + ".sent", sent)
                self.wfile.write(data)
                self.wfile.flush()
                if not keep or (request.header("Connection") or b"").lower() == b"close":
                    return
        except (OSError, ValueError, ssl.SSLError):
            return


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, spool, context, files):
        super().__init__(address, Handler)
        self.spool = spool
        self.files = files
        self.context = context

    def handle_error(self, request, client_address):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--spool", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--files", help="folder that /files/<name> serves")
    args = parser.parse_args()
    os.makedirs(args.spool, exist_ok=True)
    context = None
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
    server = Server((args.host, args.port), args.spool, context, args.files)
    server.serve_forever()


if __name__ == "__main__":
    main()
