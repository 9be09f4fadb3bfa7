#!/usr/bin/env bash
# The flange (6 ms, 2 Hz, 88 % depth, 25 % feedback) on ten minutes of 44.1 kHz stereo
# 16-bit against sox's flanger (its defaults) on the same file (no dither): least processor
# time of three runs on each side; ours must be faster.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/flange.json"
"$BIN/flange_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
wav="$KELVARA_BENCH_DIR/dsp-10min.wav"
out="$KELVARA_BENCH_DIR/flange-sox.wav"
PYTHONPATH="$bench" python3 - "$json" "$wav" "$out" <<'PY'
import os, sys
import report
runs = report.load(sys.argv[1])
wav, out = sys.argv[2], sys.argv[3]
peer = report.best_cpu_seconds(3, ["sox", "-V1", "-D", wav, out, "flanger"])
os.remove(out)
ours = report.best_seconds(runs, "BM_flange", "cpu_time")
ok = report.time_line("flange 10 min stereo", ours, "sox flanger", peer, 1.0, "<")
ok &= report.memory_line("flange peak RSS", report.counter(runs, "BM_flange", "peak_rss_MB"))
sys.exit(0 if ok else 1)
PY
