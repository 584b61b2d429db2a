#!/usr/bin/env python3
"""Starts or stops one background test server for a CTest fixture.

start: runs the command detached, writes its pid, and returns once the server
accepts connections on host:port (or fails when it exits or never listens).
stop: ends the process named in the pid file, and only that one.

In the command, {host}, {port} and {spool} are replaced by the given values.
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import time


def read_pid(pid_file):
    try:
        with open(pid_file) as handle:
            return int(handle.read().strip())
    except (OSError, ValueError):
        return None


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    # A zombie left by an earlier run counts as gone.
    try:
        with open(f"/proc/{pid}/stat") as handle:
            return handle.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return True


def ours(pid, marker):
    """True when the process still runs the command this fixture started."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as handle:
            return marker.encode() in handle.read()
    except OSError:
        return False


def stop(pid_file, marker):
    pid = read_pid(pid_file)
    if pid is not None and alive(pid) and ours(pid, marker):
        os.killpg(pid, signal.SIGTERM)
        deadline = time.monotonic() + 5
        while alive(pid) and time.monotonic() < deadline:
            time.sleep(0.05)
        if alive(pid):
            os.killpg(pid, signal.SIGKILL)
    try:
        os.remove(pid_file)
    except FileNotFoundError:
        pass


def listening(host, port):
    try:
        with socket.create_connection((host, port), timeout=0.5):
            return True
    except OSError:
        return False


def start(args, command):
    stop(args.pid, args.marker)
    os.makedirs(args.spool, exist_ok=True)
    for name in os.listdir(args.spool):
        os.remove(os.path.join(args.spool, name))
    values = {"host": args.host, "port": str(args.port), "spool": args.spool}
    command = [part.format(**values) for part in command]
    with open(args.log, "ab") as log:
        log.write(("=== " + " ".join(command) + "\n").encode())
        log.flush()
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True)
    with open(args.pid, "w") as handle:
        handle.write(str(process.pid))
    deadline = time.monotonic() + args.wait
    while time.monotonic() < deadline:
        if process.poll() is not None:
            sys.exit(f"server exited with {process.returncode}; see {args.log}")
        if listening(args.host, args.port):
            print(f"listening on {args.host}:{args.port} (pid {process.pid})")
            return
        time.sleep(0.05)
    stop(args.pid, args.marker)
    sys.exit(f"server did not listen on {args.host}:{args.port} within {args.wait} s; see {args.log}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("action", choices=["start", "stop"])
    parser.add_argument("--pid", required=True)
    parser.add_argument("--log", default=os.devnull)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--spool", default="")
    parser.add_argument("--wait", type=float, default=30)
    parser.add_argument("--marker", required=True,
                        help="a word of the command line, checked before a stop")
    argv = sys.argv[1:]
    split = argv.index("--") if "--" in argv else len(argv)
    args = parser.parse_args(argv[:split])
    command = argv[split + 1:]
    if args.action == "start":
        if not command:
            sys.exit("start needs a command after --")
        start(args, command)
    else:
        stop(args.pid, args.marker)


if __name__ == "__main__":
    main()
