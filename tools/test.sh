#!/usr/bin/env bash
# Builds and runs every test. With --sanitize, the AddressSanitizer and
# UndefinedBehaviorSanitizer build; with --tsan, the ThreadSanitizer build of
# the tests that use a second thread.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
[ "${1:-}" = "--sanitize" ] && preset=sanitize
[ "${1:-}" = "--tsan" ] && preset=tsan

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
