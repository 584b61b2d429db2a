#!/usr/bin/env bash
# A 16 MB body over loopback through RequestWorker (linux build) beside
# `curl -s -o /dev/null` on the same URL in the same run: median wall time of
# separate runs and the peak resident memory of each, with their ratios.
# Goals: at most 1.3x curl's time, peak memory at most 2x the body.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux
runs=${RUNS:-9}
size=16777216
cmake --build --preset linux --target bench_worker_bench >/dev/null
port=$(( $(grep -m1 '^JESTLARK_TEST_PORT_BASE' $build/CMakeCache.txt | cut -d= -f2) + 61 ))
work=$(mktemp -d)
head -c $size /dev/urandom > "$work/body.bin"
head -c 1024 /dev/urandom > "$work/small.bin"
python3 tests/servers/http_server.py --host 127.0.0.1 --port "$port" --spool "$work/spool" --files "$work" \
  >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
url="http://127.0.0.1:$port/files/body.bin"
for _ in $(seq 100); do
  curl -s -o /dev/null "$url" && break
  sleep 0.1
done

python3 - "$runs" "$size" "$url" "$build/bench/bench_worker_bench" <<'PY'
import os, statistics, subprocess, sys, time
runs, size, url, worker = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
def measure(command):
    times, peaks = [], []
    for _ in range(runs):
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        times.append(time.perf_counter() - start)
        peaks.append(usage.ru_maxrss * 1024)
        if status != 0:
            sys.exit(f"{command[0]} failed")
    return statistics.median(times), max(peaks)
# Alternate so that both see the same machine state.
curl_time, curl_peak = measure(["curl", "-s", "-o", "/dev/null", url])
worker_time, worker_peak = measure([worker, url, str(size)])
# The same program for a 1 KB body: its libraries and start-up alone.
_, baseline = measure([worker, url.replace("body.bin", "small.bin"), "1024"])
curl_time2, curl_peak2 = measure(["curl", "-s", "-o", "/dev/null", url])
curl_time = min(curl_time, curl_time2)
mb = 1 << 20
# What first touching two bodies' worth of fresh memory costs here: the body
# slot and the packet stream's copy, which curl -o /dev/null never writes.
start = time.perf_counter()
fresh = bytearray(2 * size)
fresh[::4096] = b"x" * len(range(0, 2 * size, 4096))
touch = time.perf_counter() - start
del fresh
print(f"body               {size / mb:.0f} MB, {runs} runs each, median wall time")
print(f"curl               {curl_time * 1000:7.1f} ms   peak {curl_peak / mb:6.1f} MB")
print(f"RequestWorker      {worker_time * 1000:7.1f} ms   peak {worker_peak / mb:6.1f} MB")
print(f"RequestWorker 1 KB            peak {baseline / mb:6.1f} MB (the program's own)")
print(f"time ratio         {worker_time / curl_time:.2f}x curl (goal <= 1.3); first touch of 2x the body "
      f"costs {touch * 1000:.1f} ms on this machine")
print(f"memory             {worker_peak / size:.2f}x the body in all, "
      f"{(worker_peak - baseline) / size:.2f}x above the program's own (goal <= 2.0)")
PY
