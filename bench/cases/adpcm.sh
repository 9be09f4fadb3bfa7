#!/usr/bin/env bash
# MS ADPCM: our converter (through waveconv, file to file) against ffmpeg on the same
# 10-minute 44.1 kHz stereo 16-bit file, in the same run.
#   encode: 16-bit PCM wave -> MS ADPCM wave   (ffmpeg -c:a adpcm_ms)
#   decode: our MS ADPCM wave -> 8-bit PCM wave (ffmpeg -c:a pcm_u8, the same output)
# Each side: the least processor time (user + system, steadier than wall time on a shared
# machine) of N runs; ours should be faster. Usage: bench/cases/adpcm.sh [bin dir] [runs]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
bin="${1:-${BIN:-$here/build/default/bin}}"
runs="${2:-3}"
waveconv="$bin/waveconv"
for tool in sox ffmpeg; do
  command -v "$tool" >/dev/null || { echo "adpcm: $tool is missing" >&2; exit 1; }
done
[ -x "$waveconv" ] || { echo "adpcm: $waveconv is not built" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/kelvara-adpcm-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"
# A chord over pink noise, different in each channel: music-like, not trivially coded.
sox -r 44100 -c 4 -n -b 16 long.wav synth 600 sine 261.63 sine 329.63 sine 392 pinknoise \
  remix 1,2,4v0.3 2,3,4v0.3 norm -3

# Seconds of processor time the command used (its children included).
cpu_seconds() {
  local t
  t=$( { TIMEFORMAT='%U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )
  awk -v t="$t" 'BEGIN { split(t, a, " "); printf "%.3f", a[1] + a[2] }'
}

best_of() {
  local best="" s
  for _ in $(seq "$runs"); do
    s=$(cpu_seconds "$@")
    if [ -z "$best" ] || awk -v a="$s" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$s; fi
  done
  echo "$best"
}

status=0
report() {
  python3 "$here/bench/report.py" time "$1" "$2" ffmpeg "$3" 1.0 "<" || status=1
}

ours_enc=$(best_of "$waveconv" long.wav 0)
mv outadpcm.wav ours.wav
peer_enc=$(best_of ffmpeg -nostdin -loglevel error -y -i long.wav -c:a adpcm_ms peer.wav)
report "adpcm encode 10 min" "$ours_enc" "$peer_enc"

ours_dec=$(best_of "$waveconv" ours.wav 0)
peer_dec=$(best_of ffmpeg -nostdin -loglevel error -y -i ours.wav -c:a pcm_u8 peer8.wav)
report "adpcm decode 10 min" "$ours_dec" "$peer_dec"
exit $status
