#!/usr/bin/env bash
# Installs what is needed, builds and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default -G Ninja >/dev/null
cmake --build --preset default -j"$(nproc)"
# The editor takes no file names: open files from its File menu or drop them on it.
exec ./build/default/bin/orlo "$@"
