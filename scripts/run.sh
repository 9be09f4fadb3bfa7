#!/usr/bin/env bash
# Installs what is needed, builds and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default -G Ninja >/dev/null
cmake --build --preset default -j"$(nproc)"
# Files named after the script are opened in the editor.
exec ./build/default/bin/orlo "$@"
