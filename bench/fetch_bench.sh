#!/usr/bin/env bash
# The fetch front's median cost over calling RequestWorker directly, for a
# 1 KB page from a loopback server, and the memory after 1,000 fetches of
# which 100 time out. Uses the linux build and the tests' http server.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux
cmake --build --preset linux --target bench_fetch_bench >/dev/null
port=$(( $(grep -m1 '^JESTLARK_TEST_PORT_BASE' $build/CMakeCache.txt | cut -d= -f2) + 60 ))
work=$(mktemp -d)
python3 tests/servers/http_server.py --host 127.0.0.1 --port "$port" --spool "$work" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  curl -s -o /dev/null "http://127.0.0.1:$port/fixed" && break
  sleep 0.1
done

JESTLARK_BENCH_SERVER="127.0.0.1:$port" $build/bench/bench_fetch_bench \
  --benchmark_format=json --benchmark_out="$work/result.json" --benchmark_out_format=json >/dev/null
python3 - "$work/result.json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
def find(name, aggregate=None):
    return next(r for r in runs if r["run_name"].split("/")[0] == name and r.get("aggregate_name") == aggregate)
def ms(name):
    run = find(name, "median")
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[run["time_unit"]]
    return run["real_time"] * scale
direct, front = ms("RequestWorkerDirect"), ms("FetchPageFront")
print(f"RequestWorker direct, median: {direct:.3f} ms")
print(f"FetchPage,            median: {front:.3f} ms")
print(f"front overhead,       median: {front - direct:.3f} ms (goal: under 1 ms)")
print(f"thread start and wait alone, median: {ms('WorkerThreadStartAndWait'):.3f} ms")
memory = find("MemoryAfterThousandFetches")
print(f"memory after 1,000 fetches (100 timed out): {memory['rss_growth_kb']:.0f} KB growth "
      f"from {memory['rss_before_kb']:.0f} KB (goal: under 1024 KB); "
      f"threads left: {memory['threads_left']:.0f}")
PY
