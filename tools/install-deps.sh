#!/usr/bin/env bash
# Installs the Debian 12 packages pdfunlock needs to build, test and run.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  libgl-dev libqpdf-dev qpdf poppler-utils libidn-dev
  # Qt's SVG icon engine, which draws the application's icon.
  libqt6svg6
  # Qt's own texts (context menus, standard buttons) in the user's language.
  qt6-translations-l10n
  # A second, independent renderer for the tests that compare copies with their
  # sources; bench/ also times its `mutool clean`.
  mupdf-tools
  # The Debian package and the desktop checks (tools/check-desktop.sh,
  # tools/check-translations.sh, tools/screenshots.sh).
  dpkg-dev desktop-file-utils appstream libxml2-utils
  xvfb xdotool xclip x11-utils imagemagick
  # A window manager under Xvfb, so the windows are placed and decorated as on a desktop.
  openbox
  # Japanese glyphs, so the Japanese window can be looked at under Xvfb.
  fonts-ipafont-gothic
  # The libFuzzer target (fuzz/): clang with its sanitizer and fuzzer runtimes.
  clang libclang-rt-14-dev
  # What bench/ times the removal job against, besides qpdf.
  python3-pikepdf
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_if_needed apt-get update -qq
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
