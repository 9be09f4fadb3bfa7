#!/usr/bin/env bash
# Pitch and tempo on ten minutes of 44.1 kHz stereo 16-bit against sox on the same file
# (no dither): an octave up with each of our two engines that keep the length against
# `pitch 1200`; 1.15 times as fast against `tempo 1.15`, and 1.15 times as long (our tempo
# slider at +100) against `tempo 0.869565`. Least processor time of three runs on each side;
# ours must be faster. Then how clean the octave is: a 440 Hz tone through each engine and
# through `pitch 1200`, the energy outside 880 Hz +- 10.8 Hz (for information).
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/pitch.json"
"$BIN/pitch_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
wav="$KELVARA_BENCH_DIR/dsp-10min.wav"
out="$KELVARA_BENCH_DIR/pitch-sox.wav"
tone="$KELVARA_BENCH_DIR/pitch-tone.wav"
tone_sox="$KELVARA_BENCH_DIR/pitch-tone-sox.wav"
"$BIN/pitch_quality" tone "$tone"
sox -V1 -D "$tone" "$tone_sox" pitch 1200
quality=$("$BIN/pitch_quality" measure "$tone" "$tone_sox")
rm -f "$tone" "$tone_sox"
PYTHONPATH="$bench" python3 - "$json" "$wav" "$out" "$quality" <<'PY'
import os, sys
import report
runs = report.load(sys.argv[1])
wav, out = sys.argv[2], sys.argv[3]
quality = dict(line.split() for line in sys.argv[4].splitlines())
def sox(*effect):
    t = report.best_cpu_seconds(3, ["sox", "-V1", "-D", wav, out] + list(effect))
    os.remove(out)
    return t
ok = True
pitch = sox("pitch", "1200")
for name, label in (("BM_pitch_splice", "pitch +12 splicing"), ("BM_pitch_fft", "pitch +12 FFT")):
    ok &= report.time_line(label, report.best_seconds(runs, name, "cpu_time"), "sox pitch", pitch,
                           1.0, "<")
for name, label, factor in (("BM_tempo_faster", "tempo 1.15 faster", "1.15"),
                            ("BM_tempo_slower", "tempo 1.15 slower", "0.869565")):
    ok &= report.time_line(label, report.best_seconds(runs, name, "cpu_time"), "sox tempo",
                           sox("tempo", factor), 1.0, "<")
rss = max(report.counter(runs, n, "peak_rss_MB")
          for n in ("BM_pitch_splice", "BM_pitch_fft", "BM_tempo_faster", "BM_tempo_slower"))
ok &= report.memory_line("pitch and tempo peak RSS", rss)
report.quality_line("octave up, splicing engine", float(quality["splice"]), "sox pitch",
                    float(quality["peer"]))
report.quality_line("octave up, FFT engine", float(quality["fft"]), "sox pitch",
                    float(quality["peer"]))
sys.exit(0 if ok else 1)
PY
