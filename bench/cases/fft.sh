#!/usr/bin/env bash
# fft_real forward + inverse against FFTW (measured plan, single precision, r2c + c2r), on
# the path this processor gets: least processor time per pair over five repetitions on each
# side (steadier than wall time on a shared machine).
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/fft.json"
"$BIN/fft_bench" --benchmark_filter='BM_fft_real/|BM_fftw/' --benchmark_format=json \
  --benchmark_out="$json" --benchmark_min_time=0.2 --benchmark_repetitions=5 >/dev/null 2>&1
PYTHONPATH="$bench" python3 - "$json" <<'PY'
import sys
import report
runs = report.load(sys.argv[1])
path = next(b["label"] for b in runs["benchmarks"] if b["name"].startswith("BM_fft_real/"))
ok = True
for n in (1024, 4096):
    ours = report.best_seconds(runs, f"BM_fft_real/{n}", "cpu_time")
    peer = report.best_seconds(runs, f"BM_fftw/{n}", "cpu_time")
    ok &= report.time_line(f"fft_real N={n} ({path})", ours, "fftw", peer, 1.5)
sys.exit(0 if ok else 1)
PY
