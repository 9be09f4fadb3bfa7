#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given seconds (default 30).
# Crashes land in fuzz/crashes/; add them to tests as regression inputs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
if [ -f build/fuzz/CMakeCache.txt ]; then
  cmake --preset fuzz >/dev/null
else
  cmake --preset fuzz -G Ninja >/dev/null
fi
cmake --build --preset fuzz -j"$(nproc)"
mkdir -p fuzz/crashes
for t in build/fuzz/bin/fuzz_*; do
  name=$(basename "$t")
  corpus="fuzz/corpus-$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name#fuzz_}"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true
  echo "== $name ($seconds s)"
  "$t" -max_total_time="$seconds" -max_len=4096 -artifact_prefix="fuzz/crashes/$name-" "$corpus" 2>&1 | tail -2
done
