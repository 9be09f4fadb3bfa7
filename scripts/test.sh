#!/usr/bin/env bash
# Installs what is needed, builds and runs the whole test suite.
# Usage: scripts/test.sh [default|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
bash scripts/install-deps.sh
cmake --preset "$preset" -G Ninja
cmake --build --preset "$preset" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export KELVARA_AUDIO=virtual
ctest --preset "$preset"
