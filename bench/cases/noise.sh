#!/usr/bin/env bash
# Noise removal at 50 % on ten minutes of 44.1 kHz stereo 16-bit, profile from the first
# 4096 frames, against sox's noisered (amount 0.5) with a noiseprof of the same passage:
# least processor time of three runs on each side (the profiles not timed); ours must be
# faster. Then both on the test signal (5 .. 8 kHz noise at -50 dBFS under a 500 Hz tone at
# -20 dBFS, profile from its noise-only first second): how far the band noise goes down
# and how the tone changes, ours at 50 % and 90 % against noisered at 0.5 and 0.9.
# Last, the waterfall of 100 slices at 1600 x 900 against the 16 ms of one frame at 60 Hz.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/noise.json"
"$BIN/noise_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
wav="$KELVARA_BENCH_DIR/dsp-10min.wav"
out="$KELVARA_BENCH_DIR/noise-sox.wav"
prof="$KELVARA_BENCH_DIR/noise-sox.prof"
sox -V1 "$wav" -n trim 0 4096s noiseprof "$prof"
signal="$KELVARA_BENCH_DIR/noise-signal.wav"
sig_prof="$KELVARA_BENCH_DIR/noise-signal.prof"
"$BIN/noise_quality" signal "$signal"
sox -V1 "$signal" -n trim 0 1 noiseprof "$sig_prof"
sox -V1 -D "$signal" "$KELVARA_BENCH_DIR/noise-peer50.wav" noisered "$sig_prof" 0.5
sox -V1 -D "$signal" "$KELVARA_BENCH_DIR/noise-peer90.wav" noisered "$sig_prof" 0.9
quality=$("$BIN/noise_quality" measure "$signal" "$KELVARA_BENCH_DIR/noise-peer50.wav" \
  "$KELVARA_BENCH_DIR/noise-peer90.wav")
rm -f "$signal" "$sig_prof" "$KELVARA_BENCH_DIR"/noise-peer*.wav
spectrum="$KELVARA_BENCH_DIR/spectrum.json"
if [ -x "$BIN/spectrum_bench" ]; then
  QT_QPA_PLATFORM=offscreen "$BIN/spectrum_bench" --benchmark_format=json \
    --benchmark_out="$spectrum" --benchmark_repetitions=5 >/dev/null 2>&1
else
  echo '{"benchmarks": []}' >"$spectrum"
fi
PYTHONPATH="$bench" python3 - "$json" "$wav" "$out" "$prof" "$quality" "$spectrum" <<'PY'
import os, sys
import report
runs = report.load(sys.argv[1])
wav, out, prof = sys.argv[2], sys.argv[3], sys.argv[4]
quality = {line.split()[0]: tuple(map(float, line.split()[1:])) for line in sys.argv[5].splitlines()}
peer = report.best_cpu_seconds(3, ["sox", "-V1", "-D", wav, out, "noisered", prof, "0.5"])
os.remove(out)
os.remove(prof)
ours = report.best_seconds(runs, "BM_noise_removal", "cpu_time")
ok = report.time_line("noise removal 10 min stereo", ours, "sox noisered", peer, 1.0, "<")
ok &= report.memory_line("noise removal peak RSS",
                         report.counter(runs, "BM_noise_removal", "peak_rss_MB"))
for ours_key, peer_key, label in (("ours50", "peer0", "50 % / 0.5"), ("ours90", "peer1", "90 % / 0.9")):
    report.reduction_line(f"band noise {label}", quality[ours_key], "noisered", quality[peer_key])
spectrum = report.load(sys.argv[6])
if spectrum["benchmarks"]:
    ok &= report.time_line("waterfall 100 slices 1600x900", report.best_seconds(spectrum, "BM_waterfall"),
                           "frame", 0.016, 1.0)
    ok &= report.time_line("waterfall painting alone", report.best_seconds(spectrum, "BM_waterfall_paint"),
                           "frame", 0.016, 1.0)
else:
    print("waterfall 100 slices 1600x900   (spectrum_bench is not built: no Qt)")
    ok = False
sys.exit(0 if ok else 1)
PY
