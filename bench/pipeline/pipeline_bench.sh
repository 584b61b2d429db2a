#!/usr/bin/env bash
# One group message for a 30 KB page through the plugin, beside a bare
# `curl -X POST` of the same page; then 1,000 messages for memory and threads.
# Builds its own optimised plugin in build/bench against a site on a free port.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/bench
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release "-DJESTLARK_JOKE_SITE=http://127.0.0.1:$port/detail1/" >/dev/null
cmake --build $build -j2 --target bench_pipeline jestlark_plugin cqapi >/dev/null
work=$(mktemp -d)
python3 - "$work/page.bin" <<'PY'
import sys
line = "\u8fd9\u662f\u4e00\u6761\u5f88\u957f\u7684\u7b11\u8bdd\u3002<br>\r\n".encode("gbk")
head = b"<html><body>" + b"<div>filler</div>\r\n" * 100 + b'<span style="word-break:break-all">'
tail = "\u4e0a\u4e00\u7bc7\u7b11\u8bdd".encode("gbk") + b"</body></html>"
joke = line * ((30 * 1024 - len(head) - len(tail)) // len(line))
page = head + joke + tail
open(sys.argv[1], "wb").write(page)
print(f"page {len(page)} bytes", file=sys.stderr)
PY
python3 tests/e2e/joke_site.py --port "$port" --spool "$work" >/dev/null 2>&1 &
site=$!
trap 'kill $site 2>/dev/null; rm -rf "$work"' EXIT
sleep 0.5

url="http://127.0.0.1:$port/detail1/1.html"
read -r curl_wall_ms curl_ms < <(python3 - "$url" <<'PY'
import subprocess, sys, time
wall, transfer = [], []
for _ in range(50):
    start = time.perf_counter()
    out = subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{time_total}", "-X", "POST", sys.argv[1]],
                         check=True, capture_output=True, text=True).stdout
    wall.append((time.perf_counter() - start) * 1000)
    transfer.append(float(out) * 1000)
wall.sort(); transfer.sort()
print(f"{wall[len(wall)//2]:.3f} {transfer[len(transfer)//2]:.3f}")
PY
)
echo "curl -X POST median: $curl_wall_ms ms with its process start, $curl_ms ms transfer (curl's time_total)"
out=$($build/bench/pipeline/bench_pipeline $build/jestlark.cqp.so $build/libcqapi.so 50)
echo "$out"
plugin_ms=$(echo "$out" | sed -n 's/.*median \([0-9.]*\) ms.*/\1/p')
python3 -c "p=$plugin_ms; c=$curl_ms; print(f'ratio plugin/curl transfer: {p/c:.2f}x; goal: plugin <= 1.2 x curl + 5 ms = {1.2*c+5:.3f} ms -> {\"met\" if p <= 1.2*c+5 else \"not met\"}')"
$build/bench/pipeline/bench_pipeline $build/jestlark.cqp.so $build/libcqapi.so 1000 | tail -1
