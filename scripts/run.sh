#!/usr/bin/env bash
# Installs what is needed, builds and starts the editor with the files given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default -G Ninja >/dev/null
cmake --build --preset default -j"$(nproc)"
if [ $# -eq 0 ]; then
  # Something to look at on a fresh machine: two seconds of a tone.
  demo="${TMPDIR:-/tmp}/kelvara-demo.wav"
  sox -n -r 44100 -c 2 -b 16 "$demo" synth 2 sine 440 vol 0.5 2>/dev/null
  set -- "$demo"
fi
exec ./build/default/bin/orlo "$@"
