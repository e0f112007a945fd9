#!/usr/bin/env bash
# Installs what is missing (tools/install-deps.sh, which does nothing when all
# is there), then builds and runs every test. With --sanitize, the
# AddressSanitizer and UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

preset=default
[ "${1:-}" = "--sanitize" ] && preset=sanitize

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
