#!/usr/bin/env bash
# Builds the Debian package and checks it with lintian: fails on any error or
# warning (informational notes are shown, not counted). An override needs a
# comment in packaging/ saying why.
# Usage: tools/check-package.sh [BUILD_DIR]   (default: the default preset's build/)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

command -v lintian >/dev/null || { echo "check-package: lintian is missing (tools/install-deps.sh)" >&2; exit 2; }

configure_build "$@"
rm -f "$build"/pdfunlock_*.deb
cmake --build "$build" --target package >/dev/null
debs=("$build"/pdfunlock_*.deb)
[ -f "${debs[0]}" ] || { echo "check-package: no package in $build" >&2; exit 1; }

echo "== lintian ${debs[*]}"
status=0
lintian --display-info --fail-on error,warning "${debs[@]}" || status=$?
if [ "$status" -ne 0 ]; then
  echo "check-package: FAILED: lintian reports errors or warnings (status $status)" >&2
  exit 1
fi
echo "check-package: no lintian error or warning"
