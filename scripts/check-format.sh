#!/usr/bin/env bash
# Fails when a C++ file of the tree is not in the repository's clang-format style.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || bash scripts/install-deps.sh
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
