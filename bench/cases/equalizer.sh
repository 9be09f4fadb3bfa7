#!/usr/bin/env bash
# The equalizer's four bands (+6, -6, +6, -6 dB at 2205, 4410, 6615 and 8820 Hz, 800 Hz
# wide) on ten minutes of 44.1 kHz stereo 16-bit against sox's four equalizer stages with
# the same centres, widths and gains on the same file (no dither): least processor time of
# three runs on each side; ours must be faster.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/equalizer.json"
"$BIN/equalizer_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
wav="$KELVARA_BENCH_DIR/dsp-10min.wav"
out="$KELVARA_BENCH_DIR/equalizer-sox.wav"
PYTHONPATH="$bench" python3 - "$json" "$wav" "$out" <<'PY'
import os, sys
import report
runs = report.load(sys.argv[1])
wav, out = sys.argv[2], sys.argv[3]
stages = []
for hz, gain in ((2205, 6), (4410, -6), (6615, 6), (8820, -6)):
    stages += ["equalizer", str(hz), "800h", str(gain)]
peer = report.best_cpu_seconds(3, ["sox", "-V1", "-D", wav, out] + stages)
os.remove(out)
ours = report.best_seconds(runs, "BM_equalize", "cpu_time")
ok = report.time_line("equalizer 10 min stereo", ours, "sox eq x4", peer, 1.0, "<")
ok &= report.memory_line("equalizer peak RSS", report.counter(runs, "BM_equalize", "peak_rss_MB"))
sys.exit(0 if ok else 1)
PY
