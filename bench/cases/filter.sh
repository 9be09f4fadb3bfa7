#!/usr/bin/env bash
# do_filter_waveform low pass at 4 kHz on ten minutes of 44.1 kHz stereo against
# `sox in.wav out.wav sinc -4000` on the same file: least processor time of three runs on
# each side; ours must be at least as fast.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/filter.json"
"$BIN/filter_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
src="$KELVARA_BENCH_DIR/filter-10min.wav"
out="$KELVARA_BENCH_DIR/filter-sox.wav"
PYTHONPATH="$bench" python3 - "$json" "$src" "$out" <<'PY'
import os, sys
import report
runs = report.load(sys.argv[1])
name = "BM_do_filter_waveform_lowpass"
peer = report.best_cpu_seconds(3, ["sox", sys.argv[2], sys.argv[3], "sinc", "-4000"])
os.remove(sys.argv[3])
ok = report.time_line("lowpass 10 min stereo", report.best_seconds(runs, name, "cpu_time"),
                      "sox sinc", peer, 1.0)
ok &= report.memory_line("lowpass peak RSS", report.counter(runs, name, "peak_rss_MB"))
sys.exit(0 if ok else 1)
PY
