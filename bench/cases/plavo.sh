#!/usr/bin/env bash
# The player's Convert (MS ADPCM decode + rate restore to 16-bit PCM, file to file) on a
# 10-minute OCW file at 320,000 bps (r = 2.205) against ffmpeg decoding the same file to a
# 16-bit wave, in the same run. ffmpeg stops at the nominal rate, so it writes 2.205 times
# fewer bytes than the player does.
# Each side: the least processor time (user + system) of N runs; ours must be faster.
# Usage: bench/cases/plavo.sh [bin dir] [runs]
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
bin="${1:-${BIN:-$here/build/default/bin}}"
runs="${2:-3}"
for tool in sox ffmpeg python3; do
  command -v "$tool" >/dev/null || { echo "plavo: $tool is missing" >&2; exit 1; }
done
for p in waveconv plavo_convert; do
  [ -x "$bin/$p" ] || { echo "plavo: $bin/$p is not built" >&2; exit 1; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/kelvara-plavo-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"
# Ten minutes played back are 600 / 2.205 s of coded frames at the nominal 44100 Hz.
sox -r 44100 -c 4 -n -b 16 coded.wav synth 272.109 sine 261.63 sine 329.63 sine 392 \
  pinknoise remix 1,2,4v0.3 2,3,4v0.3 norm -3
"$bin/waveconv" coded.wav 0 >/dev/null 2>&1
# The rate marker of 320,000 bps in place of the codec's byte rate.
python3 - outadpcm.wav <<'PY'
import struct, sys
path = sys.argv[1]
with open(path, "r+b") as f:
    data = f.read()
    at = 12
    while at + 8 <= len(data):
        cid, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        if cid == b"fmt ":
            f.seek(at + 8 + 8)
            f.write(struct.pack("<I", 20000))
            break
        at += 8 + size + (size & 1)
    else:
        sys.exit("no fmt chunk")
PY
mv outadpcm.wav ten.ocw

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

ours=$(best_of "$bin/plavo_convert" ten.ocw ours.wav)
"$bin/plavo_convert" ten.ocw ours.wav || { echo "plavo: convert failed" >&2; exit 1; }
peer=$(best_of ffmpeg -nostdin -loglevel error -y -f wav -i ten.ocw -c:a pcm_s16le peer.wav)
python3 "$here/bench/report.py" time "plavo_convert 10 min" "$ours" ffmpeg "$peer" 1.0 "<"
