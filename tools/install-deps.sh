#!/usr/bin/env bash
# Installs the Debian 12 packages pdfunlock needs to build, test, package and
# run; does nothing when all are installed.
# Usage: tools/install-deps.sh [--check]
#   --check  installs nothing: lists the missing packages, one a line, and
#            exits with status 1 if any is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libgl-dev libqpdf-dev qpdf poppler-utils libidn-dev libjemalloc-dev
  # The file keys of encrypted documents, derived without qpdf's own derivation.
  nettle-dev
  # Qt's SVG icon engine, which draws the application's icon.
  libqt6svg6
  # Qt's own texts (context menus, standard buttons) in the user's language.
  qt6-translations-l10n
  # A second, independent renderer for the tests that compare copies with their
  # sources; bench/ also times its `mutool clean`.
  mupdf-tools
  # The Debian package and the desktop checks (tools/check-desktop.sh,
  # tools/check-package.sh, tools/check-translations.sh, tools/screenshots.sh).
  dpkg-dev desktop-file-utils appstream libxml2-utils lintian
  xvfb xdotool xclip x11-utils imagemagick
  # The manual pages, made from each program's --help.
  help2man
  # A window manager under Xvfb, so the windows are placed and decorated as on a desktop.
  openbox
  # Japanese glyphs, so the Japanese window can be looked at under Xvfb.
  fonts-ipafont-gothic
  # The libFuzzer target (fuzz/): clang with its sanitizer and fuzzer runtimes.
  clang libclang-rt-14-dev
  # What bench/ times the removal job against, besides qpdf.
  python3-pikepdf
)

check=false
case "${1:-}" in
--check) check=true ;;
"") ;;
*)
  echo "usage: tools/install-deps.sh [--check]" >&2
  exit 2
  ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if $check; then
  [ ${#missing[@]} -eq 0 ] || { printf '%s\n' "${missing[@]}"; exit 1; }
  exit 0
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${#missing[@]} package(s): ${missing[*]}" >&2
  sudo_if_needed apt-get update -qq
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
