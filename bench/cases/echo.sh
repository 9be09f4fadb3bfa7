#!/usr/bin/env bash
# Echo and reverb on a 10-minute 44.1 kHz stereo 16-bit file against sox's echo and reverb
# on the same file (no dither, so the peer does no more than the effect).
set -euo pipefail
json="$KELVARA_BENCH_DIR/echo.json"
"$BIN/echo_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
wav="$KELVARA_BENCH_DIR/echo-10min.wav"
out="$KELVARA_BENCH_DIR/echo-sox.wav"
size=$(( $(stat -c %s "$wav") - 44 ))
best() {
  local b=0 t0 t1
  for i in 1 2; do
    t0=$(date +%s%N); sox -V1 -D "$wav" "$out" "$@"; t1=$(date +%s%N)
    b=$(python3 -c "print(max($b, $size/(($t1-$t0)/1e9)/1e6))")
  done
  echo "$b"
}
echo_peer=$(best echo 0.8 0.8 250 0.5)
reverb_peer=$(best reverb)
rm -f "$out"
python3 - "$json" "$echo_peer" "$reverb_peer" <<'PY'
import json, sys
peers = {"echo": float(sys.argv[2]), "reverb": float(sys.argv[3])}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    name = b["name"].split("/")[0].replace("BM_", "")
    ours = b["bytes_per_second"] / 1e6
    peer = peers[name]
    rss = b.get("peak_rss_MB", 0)
    print(f"{name:28s} {ours:10.0f}MB/s {peer:10.0f}MB/s {ours/peer:8.2f}   peak RSS {rss:.1f} MB (peer: sox {name})")
PY
