#!/usr/bin/env bash
# Installs what is missing (tools/install-deps.sh, which does nothing when all
# is there), then builds and runs every test. With --sanitize, the
# AddressSanitizer and UndefinedBehaviorSanitizer build; with --tsan, the
# ThreadSanitizer build of the tests that use a second thread.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

preset=default
[ "${1:-}" = "--sanitize" ] && preset=sanitize
[ "${1:-}" = "--tsan" ] && preset=tsan

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
