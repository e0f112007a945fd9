#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb with openbox, in English, window
# frames included: docs/password-window.png with a password typed,
# docs/success-alert.png, and docs/batch-window.png, the window for several
# documents after a batch of a folder, with its summary and reasons (its
# report is then saved by keyboard).
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

# A folder of scans: most open with the password, two share a name in
# folders of their own, one has another password, one has none, one comes
# from other software, and a link is not followed.
mkdir -p "$tmp/batch/2024" "$tmp/batch/2025"
scan() { # PATH [make-fixture options]
  local path=$1
  shift
  "$build/bin/make-fixture" "$path" --pages 2 --security aes-256 --user "$password" \
    --owner "owner-$password" --creator "Tessivon Scan 4.2" "$@"
}
for n in 1 2 3; do scan "$tmp/batch/2024/Statement 0$n.pdf"; done
for n in 1 2; do scan "$tmp/batch/2025/Statement 0$n.pdf"; done
scan "$tmp/batch/contract.pdf" --user other --owner owner-other
"$build/bin/make-fixture" "$tmp/batch/letter.pdf" --security none --creator "Tessivon Scan 4.2"
scan "$tmp/batch/invoice.pdf" --creator "Office Writer"
ln -s contract.pdf "$tmp/batch/shortcut.pdf"
env -u LANGUAGE -u LANG LC_ALL="$locale" "$build/bin/pdfunlock" --batch "$tmp/batch" >"$tmp/app.log" 2>&1 &
app_pid=$!
window=$(wait_window "$app_pid" NORMAL)
xdo windowfocus --sync "$window"
xdo type --delay 30 "$password"
xdo key Return
deadline=$((SECONDS + 20))
until [ "$(find "$tmp/batch" -name '*_copy.pdf' | wc -l)" -eq 5 ]; do
  [ $SECONDS -lt $deadline ] || fail "the batch did not write its copies"
  sleep 0.2
done
sleep 1
timeout 20 import -frame -window "$window" "$out/batch-window.png"
# The report, by keyboard: Save Report's mnemonic, the file's name, Return.
case $locale in
de*) save_report=alt+b ;;
*) save_report=alt+p ;;
esac
xdo key --clearmodifiers "$save_report"
dialog=$(wait_window "$app_pid" DIALOG)
xdo windowfocus --sync "$dialog"
sleep 0.5
xdo type --delay 20 "$tmp/report.csv"
xdo key Return
deadline=$((SECONDS + 10))
until [ -s "$tmp/report.csv" ]; do
  [ $SECONDS -lt $deadline ] || fail "the report was not saved"
  sleep 0.2
done
[ "$(wc -l <"$tmp/report.csv")" -eq 10 ] || fail "the report does not have a line for each document"
# Saved: Escape closes without asking.
press "$window" Escape
wait_exit "$app_pid"
app_pid=
echo "wrote $out/password-window.png, $out/success-alert.png and $out/batch-window.png"
