#!/usr/bin/env bash
# Installs what is needed, builds pdfunlock, makes a sample locked scan and
# opens it with pdfunlock.
set -euo pipefail
cd "$(dirname "$0")/.."

# The sample opens in a window: without a display pdfunlock can only fail.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'EOF'
quickstart: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so
nothing was installed or built.
pdfunlock asks for the password in a window: run this from a terminal in a
desktop session, or over ssh -X. Without a display, tools/test.sh installs
the packages that are missing (with sudo unless you are root), builds
pdfunlock and runs all its tests; no window is needed.
EOF
  exit 1
fi

tools/install-deps.sh
cmake --preset default >/dev/null
# Only what the sample needs; tools/test.sh builds the rest.
cmake --build --preset default --target pdfunlock make-fixture

sample=build/sample/scan.pdf
password=tessivon
mkdir -p build/sample
rm -f build/sample/scan.pdf
build/bin/make-fixture "$sample" --pages 3 --security aes-256 \
  --user "$password" --owner "owner-$password" --creator "Tessivon Scan 4.2"
echo "Sample locked scan: $sample"
echo "Its password:       $password"
echo "The unprotected copy will appear beside it as build/sample/scan_copy.pdf"
exec build/bin/pdfunlock "$sample"
