#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb with openbox, in English, window
# frames included: docs/password-window.png with a password typed, and
# docs/success-alert.png.
# Usage: tools/screenshots.sh [BUILD_DIR]   (default: the default preset's build/)
# With SCREENSHOT_LOCALE=de_DE.UTF-8 (or ja_JP.UTF-8...), the same in that
# language, written to BUILD_DIR/screenshots/ instead of docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

fail() {
  echo "screenshots: $*" >&2
  exit 1
}

configure_build "$@"
cmake --build "$build" --target pdfunlock make-fixture

tmp=$(mktemp -d)
xvfb_pid=
wm_pid=
app_pid=
cleanup() {
  [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT

password=tessivon
"$build/bin/make-fixture" "$tmp/scan.pdf" --pages 2 --security aes-256 \
  --user "$password" --owner "owner-$password" --creator "Tessivon Scan 4.2"

. tools/x11-helpers.sh
start_xvfb "$tmp"
locale=${SCREENSHOT_LOCALE:-C.UTF-8}
out=docs
[ "$locale" = C.UTF-8 ] || out=$build/screenshots/${locale%%.*}
mkdir -p "$out"
env -u LANGUAGE -u LANG LC_ALL="$locale" "$build/bin/pdfunlock" "$tmp/scan.pdf" >"$tmp/app.log" 2>&1 &
app_pid=$!

window=$(wait_window "$app_pid" NORMAL)
xdo windowfocus --sync "$window"
xdo type --delay 30 "$password"
sleep 0.5
timeout 20 import -frame -window "$window" "$out/password-window.png"

xdo key Return
alert=$(wait_window "$app_pid" DIALOG)
sleep 0.5
timeout 20 import -frame -window "$alert" "$out/success-alert.png"
press "$alert" Return
wait_exit "$app_pid"
app_pid=
[ -f "$tmp/scan_copy.pdf" ] || fail "the copy was not written"
echo "wrote $out/password-window.png and $out/success-alert.png"
