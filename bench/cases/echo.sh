#!/usr/bin/env bash
# Echo and reverb on a 10-minute 44.1 kHz stereo 16-bit file against sox's echo and reverb
# on the same file (no dither, so the peer does no more than the effect): least processor
# time of three runs on each side; ours must be faster.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/echo.json"
"$BIN/echo_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
wav="$KELVARA_BENCH_DIR/echo-10min.wav"
out="$KELVARA_BENCH_DIR/echo-sox.wav"
PYTHONPATH="$bench" python3 - "$json" "$wav" "$out" <<'PY'
import os, sys
import report
runs = report.load(sys.argv[1])
wav, out = sys.argv[2], sys.argv[3]
ok = True
for name, effect in (("echo", ["echo", "0.8", "0.8", "250", "0.5"]), ("reverb", ["reverb"])):
    peer = report.best_cpu_seconds(3, ["sox", "-V1", "-D", wav, out] + effect)
    ours = report.best_seconds(runs, f"BM_{name}", "cpu_time")
    ok &= report.time_line(f"{name} 10 min stereo", ours, f"sox {name}", peer, 1.0, "<")
    ok &= report.memory_line(f"{name} peak RSS", report.counter(runs, f"BM_{name}", "peak_rss_MB"))
os.remove(out)
sys.exit(0 if ok else 1)
PY
