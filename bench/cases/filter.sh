#!/usr/bin/env bash
# do_filter_waveform low pass at 4 kHz on ten minutes of 44.1 kHz stereo against
# `sox in.wav out.wav sinc -4000` on the same file.
set -euo pipefail
json="$KELVARA_BENCH_DIR/filter.json"
"$BIN/filter_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
src="$KELVARA_BENCH_DIR/filter-10min.wav"
out="$KELVARA_BENCH_DIR/filter-sox.wav"
best=1e9
for i in 1 2 3; do
  t0=$(date +%s%N); sox "$src" "$out" sinc -4000; t1=$(date +%s%N)
  best=$(python3 -c "print(min($best, ($t1-$t0)/1e9))")
done
rm -f "$out"
python3 - "$json" "$best" <<'PY'
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
ours = b["real_time"] / 1000.0  # ms per run
peer = float(sys.argv[2])
rss = b.get("peak_rss_MB", 0)
# Time per run; the ratio is peer/ours so higher is better, as for the other cases.
print(f"{'lowpass 10 min stereo':28s} {ours:11.2f}s   {peer:11.2f}s {peer/ours:8.2f}   peak RSS {rss:.1f} MB (peer: sox sinc)")
PY
