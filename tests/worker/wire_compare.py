#!/usr/bin/env python3
"""Sends the worker's request set through both internet backends to one
recording server and prints, per request, every header line that differs or
stands in another order.

usage: wire_compare.py [--root REPO] [--port PORT]
Needs build/linux/tests/worker/worker_wire_corpus and the win64 build's
worker_wire_corpus.exe (cmake --build --preset X --target worker_wire_corpus).
Exits 1 when a difference is not among the explained ones below.
"""
import argparse
import os
import subprocess
import sys
import tempfile

# Differences that come from the platform under the backends, not from them.
EXPLAINED = {
    "redirect-307-post.headers": "the echo's length follows the request difference of redirect-307-post-2",
    "referer-no-small.headers": "the echo's length follows the request difference of referer-no-small",
    "redirect-307-post-2": "Wine's WinInet repeats a POST after a 307 without its body and its "
                           "Content-Type and Content-Length lines; a 307 keeps the request whole, "
                           "which the libcurl side does",
    "referer-no-small": "Wine's WinInet stops reading a header block whose first line has no ':' "
                        "(the marker in small letters stays in the block), so the lines behind it "
                        "never go out; libcurl's side passes over such a line and sends the rest",
}


def run(command, env=None):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
    sys.stdout.write(result.stdout.decode(errors="replace"))
    return result.returncode


def parse(raw):
    head, _, body = raw.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    return lines[0], lines[1:], body


def compare(name, linux, wine):
    differences = []
    line_a, fields_a, body_a = parse(linux)
    line_b, fields_b, body_b = parse(wine)
    if line_a != line_b:
        differences.append(f"  request line: linux {line_a!r}\n                wine  {line_b!r}")
    for field in fields_a:
        if field not in fields_b:
            differences.append(f"  only linux: {field!r}")
    for field in fields_b:
        if field not in fields_a:
            differences.append(f"  only wine:  {field!r}")
    common_a = [f for f in fields_a if f in fields_b]
    common_b = [f for f in fields_b if f in fields_a]
    if common_a != common_b:
        differences.append("  order: linux " + " | ".join(f.split(b":")[0].decode() for f in common_a))
        differences.append("         wine  " + " | ".join(f.split(b":")[0].decode() for f in common_b))
    if body_a != body_b:
        differences.append(f"  body: linux {len(body_a)} bytes, wine {len(body_b)} bytes")
    return differences


def main():
    parser = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--root", default=os.path.normpath(os.path.join(here, "..", "..")))
    parser.add_argument("--port", type=int, default=28098)
    args = parser.parse_args()
    root = args.root
    linux = os.path.join(root, "build/linux/tests/worker/worker_wire_corpus")
    win64 = os.path.join(root, "build/win64/tests/worker/worker_wire_corpus.exe")
    for program in (linux, win64):
        if not os.path.exists(program):
            sys.exit(f"missing {program}: build the worker_wire_corpus target of both presets")

    with tempfile.TemporaryDirectory() as work:
        spool = os.path.join(work, "spool")
        pid = os.path.join(work, "server.pid")
        fixture = os.path.join(root, "tests/servers/fixture.py")
        server = os.path.join(root, "tests/servers/http_server.py")
        address = f"127.0.0.1:{args.port}"
        if run([sys.executable, fixture, "start", "--pid", pid, "--port", str(args.port), "--spool", spool,
                "--marker", "http_server.py", "--log", os.path.join(work, "server.log"), "--",
                sys.executable, server, "--host", "{host}", "--port", "{port}", "--spool", "{spool}"]) != 0:
            sys.exit("the recording server did not start")
        try:
            # Tags of one length, so that echoed requests come back equally long.
            answers = {tag: os.path.join(work, tag) for tag in ("curl", "wine")}
            for folder in answers.values():
                os.makedirs(folder)
            print("=== linux (libcurl)")
            run([linux, "curl", address, answers["curl"]])
            print("=== win64 (WinInet under Wine)")
            run([os.path.join(root, "cmake/wine-run.sh"), os.path.join(root, "build/win64/wineprefix"),
                 win64, "wine", address, "Z:" + answers["wine"]])
        finally:
            run([sys.executable, fixture, "stop", "--pid", pid, "--marker", "http_server.py"])

        records = {}
        for file in sorted(os.listdir(spool)):
            if not file.endswith(".req"):
                continue
            tag, _, name = file[:-4].partition("-")
            with open(os.path.join(spool, file), "rb") as handle:
                raw = handle.read().replace(("/r/" + tag + "-").encode(), b"/r/TAG-")
                raw = raw.replace(("%2Fr%2F" + tag + "-").encode(), b"%2Fr%2FTAG-")
            records.setdefault(name, {})[tag] = raw
        replies = {}
        for tag, folder in answers.items():
            for file in sorted(os.listdir(folder)):
                with open(os.path.join(folder, file), "rb") as handle:
                    replies.setdefault(file, {})[tag] = handle.read().replace(
                        ("/r/" + tag + "-").encode(), b"/r/TAG-")

    unexplained = 0
    print("\n=== per request")
    for name in sorted(records):
        pair = records[name]
        if set(pair) != {"curl", "wine"}:
            print(f"{name}: only {', '.join(sorted(pair))} reached the server")
            unexplained += name not in EXPLAINED
            continue
        differences = compare(name, pair["curl"], pair["wine"])
        if not differences:
            print(f"{name}: same")
            continue
        print(f"{name}: differs")
        print("\n".join(differences))
        if name in EXPLAINED:
            print("  explained: " + EXPLAINED[name])
        else:
            unexplained += 1
    print("\n=== answers: raw headers (slot 5) and cookie lists (slot 1)")
    same = 0
    for name in sorted(replies):
        pair = replies[name]
        a, b = pair.get("curl", b""), pair.get("wine", b"")
        if a == b:
            same += 1
            continue
        unexplained += name not in EXPLAINED
        print(f"{name}: differs")
        lines_a, lines_b = a.split(b"\r\n"), b.split(b"\r\n")
        for line in lines_a:
            if line not in lines_b:
                print(f"  only linux: {line!r}")
        for line in lines_b:
            if line not in lines_a:
                print(f"  only wine:  {line!r}")
        if name in EXPLAINED:
            print("  explained: " + EXPLAINED[name])
    print(f"{same} of {len(replies)} answer slots the same")
    print(f"\n{len(records)} requests, {unexplained} unexplained differences")
    return 1 if unexplained else 0


if __name__ == "__main__":
    sys.exit(main())
