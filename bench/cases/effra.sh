#!/usr/bin/env bash
# The compressor, spatial placement and tones on a 10-minute 44.1 kHz stereo 16-bit file
# against sox on the same file: compand with the same transfer curve, delay of the right
# channel by the same 4 ms, synth of a 440 Hz sine of the same length and format (no
# dither, so the peer does no more than the effect). Least processor time of three runs on
# each side; ours must be faster. Each of ours runs in a process of its own, so its peak
# resident memory is its own: the compressor streams (64 MB), the other two hold the
# selection in memory (the 512 MB limit plus 64 MB).
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
wav="$KELVARA_BENCH_DIR/echo-10min.wav"
out="$KELVARA_BENCH_DIR/effra-sox.wav"
for name in compressor spatial tones; do
  "$BIN/effra_bench" --benchmark_filter="^BM_$name/" --benchmark_format=json \
    --benchmark_out="$KELVARA_BENCH_DIR/effra-$name.json" >/dev/null 2>&1
done
PYTHONPATH="$bench" python3 - "$KELVARA_BENCH_DIR" "$wav" "$out" <<'PY'
import os, sys
import report
folder, wav, out = sys.argv[1:4]
cases = (
    ("compressor", "sox compand", ["sox", "-V1", "-D", wav, out, "compand", "0.0015,0.0015",
                                   "-90,-90,-20,-20,0,-15"], 64.0),
    ("spatial", "sox delay", ["sox", "-V1", "-D", wav, out, "delay", "0", "0.004"], 512.0 + 64.0),
    ("tones", "sox synth", ["sox", "-V1", "-D", "-n", "-r", "44100", "-c", "2", "-b", "16", out,
                            "synth", "600", "sine", "440"], 512.0 + 64.0),
)
ok = True
for name, peer_name, command, limit in cases:
    runs = report.load(os.path.join(folder, f"effra-{name}.json"))
    peer = report.best_cpu_seconds(3, command)
    ours = report.best_seconds(runs, f"BM_{name}", "cpu_time")
    ok &= report.time_line(f"{name} 10 min stereo", ours, peer_name, peer, 1.0, "<")
    ok &= report.memory_line(f"{name} peak RSS", report.counter(runs, f"BM_{name}", "peak_rss_MB"),
                             limit)
os.remove(out)
sys.exit(0 if ok else 1)
PY
