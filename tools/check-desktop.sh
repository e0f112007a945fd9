#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, validates its desktop
# entry and AppStream metadata, then runs the installed program:
# - --help and --version answer without a display; a start without a display
#   says why it fails;
# and under Xvfb with openbox as the window manager:
# - /usr/bin/pdfunlock on a locked scan shows the password window, named after
#   the document and with the application's icon; after "--", names that look
#   like options are documents;
# - the desktop entry's command on a locked scan shows the password window;
#   a wrong password's alert belongs to it, and the password typed next
#   replaces the wrong one and writes the unprotected copy;
# - the second desktop entry's command on several documents shows the window
#   for several documents; one password makes the copies the password opens;
# - under a file size limit too small for the copy, the save fails with a
#   message and leaves nothing behind;
# - its messages come in English, German and Japanese from the locale, so the
#   installed program finds its embedded translations;
# - standard error holds only the program's log lines.
# Needs root or sudo (apt-get) and what tools/install-deps.sh installs.
# Usage: tools/check-desktop.sh [BUILD_DIR]   (default: the default preset's build/)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/common.sh

app_id=org.pdfunlock.pdfunlock
password=tessivon
step() { echo "== $*"; }
fail() {
  echo "check-desktop: FAILED: $*" >&2
  [ ! -s "${tmp:-}/app.log" ] || sed 's/^/  program: /' "$tmp/app.log" >&2
  if [ -n "${xvfb_pid:-}" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "  Xvfb ended:" >&2
    sed 's/^/  Xvfb: /' "$tmp/xvfb.log" >&2
  fi
  exit 1
}

tmp=$(mktemp -d)
xvfb_pid=
wm_pid=
app_pids=()
cleanup() {
  for pid in "${app_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT

# --- The package -------------------------------------------------------------
step "Debian package"
configure_build "$@"
rm -f "$build"/pdfunlock_*.deb
cmake --build "$build" --target package
arch=$(dpkg --print-architecture)
debs=("$build"/pdfunlock_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "expected one package in $build, found: ${debs[*]}"
fi
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
[ "$deb" = "$build/pdfunlock_${version}_${arch}.deb" ] || fail "package named $deb"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$deb Depends: $depends"
# Declared from the libraries the executable links, not by hand; Qt's
# translations and SVG icon engine are loaded at run time, so named by hand.
for lib in libqpdf libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-translations-l10n libqt6svg6; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib"
done

step "apt-get install $deb"
# --reinstall: a rebuilt package of the same version replaces the installed one.
case "$deb" in /*) ;; *) deb=./$deb ;; esac
sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 --reinstall "$deb"

desktop=/usr/share/applications/$app_id.desktop
batch_desktop=/usr/share/applications/$app_id.several.desktop
metainfo=/usr/share/metainfo/$app_id.metainfo.xml
icon=/usr/share/icons/hicolor/scalable/apps/$app_id.svg
installed=$(dpkg -L pdfunlock)
for file in /usr/bin/pdfunlock "$desktop" "$batch_desktop" "$metainfo" "$icon" /usr/share/man/man1/pdfunlock.1.gz \
  /usr/share/doc/pdfunlock/copyright /usr/share/doc/pdfunlock/changelog.gz; do
  grep -qxF "$file" <<<"$installed" || fail "the package does not install $file"
done

# --- Metadata ----------------------------------------------------------------
for entry in "$desktop" "$batch_desktop"; do
  step "desktop-file-validate $entry"
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
  [ -z "$report" ] || fail "desktop-file-validate: $report"
  echo "valid"
  grep -qxF "MimeType=application/pdf;" "$entry" || fail "no MimeType=application/pdf; in $entry"
  # Plasma 5 then ranks an installed PDF viewer ahead of it.
  grep -qxF "InitialPreference=0" "$entry" || fail "no InitialPreference=0 in $entry"
  grep -qxF "Icon=$app_id" "$entry" || fail "the desktop entry does not name the icon $app_id"
done
# The package's triggers registered both for PDFs: what "Open With" offers.
# GIO desktops take the first by id where nobody chose a default: the second
# entry must come after the first, so that it is never chosen where the first
# is not.
if command -v update-desktop-database >/dev/null; then
  grep -qE "^application/pdf=(.*;)?$app_id\.desktop;(.*;)?$app_id\.several\.desktop;" \
    /usr/share/applications/mimeinfo.cache ||
    fail "$app_id.desktop, then $app_id.several.desktop, are not in the application/pdf entry of mimeinfo.cache"
fi

step "appstreamcli validate --no-net --strict $metainfo"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
# As a software centre reads the package: its launchable desktop entry is there.
dpkg-deb -x "$deb" "$tmp/root"
appstreamcli validate-tree --no-net --strict "$tmp/root" || fail "appstreamcli validate-tree"

step "icon and macOS bundle template parse as XML"
xmllint --noout "$icon" packaging/macos/Info.plist.in

# --- The installed program without a display ---------------------------------
step "--help and --version need no display"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
for option in --help -h --version; do
  out=$("${no_display[@]}" /usr/bin/pdfunlock "$option" 2>"$tmp/err") || fail "pdfunlock $option: status $?"
  [ ! -s "$tmp/err" ] || fail "pdfunlock $option wrote to standard error: $(cat "$tmp/err")"
  echo "$option: $(head -1 <<<"$out")"
  case "$option" in
  --version) [ "$out" = "pdfunlock $version" ] || fail "pdfunlock --version: $out" ;;
  *) [[ "$out" == "Usage: pdfunlock "* ]] || fail "pdfunlock $option: $out" ;;
  esac
done

step "a start without a display says so"
status=0
"${no_display[@]}" /usr/bin/pdfunlock "$tmp/scan.pdf" 2>"$tmp/err" || status=$?
echo "status $status: $(head -1 "$tmp/err")"
[ "$status" -eq 1 ] || fail "pdfunlock without a display ended with status $status"
grep -q "could not connect to display" "$tmp/err" || fail "no word of the display: $(cat "$tmp/err")"

# --- The installed program under Xvfb ----------------------------------------
step "the installed program under Xvfb"
. tools/x11-helpers.sh
start_xvfb "$tmp"
unset LANGUAGE LC_MESSAGES LANG QT_QPA_PLATFORM

# Text of a message in the translations, as the program shows it.
translated() { # LANG ID
  xmllint --xpath "string(//message[@id='$2']/translation)" "resources/translations/pdfunlock_$1.ts"
}

# Starts the program in the background with LC_ALL=$1; its pid in $app_pid.
start() { # LOCALE COMMAND...
  local locale=$1
  shift
  env LC_ALL="$locale" "$@" >>"$tmp/app.log" 2>&1 &
  app_pid=$!
  app_pids+=("$app_pid")
}

[ "$(command -v pdfunlock)" = /usr/bin/pdfunlock ] || fail "pdfunlock on PATH is $(command -v pdfunlock)"

# A locked scan in a folder with a space, as a file manager hands it over.
mkdir -p "$tmp/My Scans"
fixture="$tmp/My Scans/locked scan.pdf"
copy="$tmp/My Scans/locked scan_copy.pdf"
"$build/bin/make-fixture" "$fixture" --pages 2 --security aes-256 \
  --user "$password" --owner "owner-$password" --creator "Tessivon Scan 4.2"

# The window's title as the window manager shows it.
title() { xdo getwindowname "$1"; }

step "/usr/bin/pdfunlock on a locked scan shows the password window"
# Without XDG_RUNTIME_DIR, as under sudo: Qt's note about it stays off standard error.
start C.UTF-8 env -u XDG_RUNTIME_DIR /usr/bin/pdfunlock "$fixture"
wid=$(wait_window "$app_pid" NORMAL)
echo "password window $wid: $(timeout 5 xwininfo -id "$wid" | sed -n 's/.*Width: /width /p;s/.*Height: /height /p' | tr '\n' ' ')"
echo "title: $(title "$wid")"
[ "$(title "$wid")" = "locked scan.pdf — pdfunlock" ] || fail "window title $(title "$wid")"
# Read whole: grep -q would end the pipe early, and xprop, cut off in the
# middle of a large icon, would fail the pipeline.
wm_icon=$(timeout 5 xprop -id "$wid" _NET_WM_ICON || true)
[[ "$wm_icon" == "_NET_WM_ICON(CARDINAL) = "* ]] || fail "the window has no icon"
press "$wid" Escape
wait_exit "$app_pid"
[ ! -e "$copy" ] || fail "closing the password window wrote a copy"

step "after --, names that look like options are documents"
for name in -style --help; do
  cp "$fixture" "$tmp/My Scans/$name"
  start C.UTF-8 env -C "$tmp/My Scans" /usr/bin/pdfunlock -- "$name"
  wid=$(wait_window "$app_pid" NORMAL)
  echo "pdfunlock -- $name: $(title "$wid")"
  [ "$(title "$wid")" = "$name — pdfunlock" ] || fail "window title $(title "$wid")"
  press "$wid" Escape
  wait_exit "$app_pid"
  rm "$tmp/My Scans/$name"
done

step "the desktop entry's command on a locked scan"
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -1)
read -ra words <<<"$exec_line"
command=()
for word in "${words[@]}"; do
  case "$word" in
  %F | %f) command+=("$fixture") ;;
  %*) ;;
  *) command+=("$word") ;;
  esac
done
echo "Exec=$exec_line -> ${command[*]}"

# Types TEXT and Return into the focused field; the alert that follows must
# show the English text of KEY. Sets alert to its window.
type_and_expect() { # TEXT KEY
  xdo type --delay 20 "$1"
  xdo key Return
  alert=$(wait_window "$app_pid" DIALOG)
  local text
  text=$(message_text "$alert")
  echo "message: $text"
  [ "$text" = "$(translated en "$2")" ] || fail "expected the $2 message"
}

start C.UTF-8 "${command[@]}"
wid=$(wait_window "$app_pid" NORMAL)
echo "password window $wid"
xdo windowfocus --sync "$wid"
type_and_expect "wrong-$password" IDS_MSG_INVALIDPWD
transient=$(timeout 5 xprop -id "$alert" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')
[ "$((transient))" = "$((wid))" ] || fail "the alert is not the password window's ($transient)"
press "$alert" Return
# The wrong password is selected once the alert is gone: typing replaces it.
sleep 0.5
type_and_expect "$password" IDS_MSG_COMPLETE
press "$alert" Return
wait_exit "$app_pid"
[ -f "$copy" ] || fail "no copy at $copy"
qpdf --check "$copy" >/dev/null || fail "the copy does not pass qpdf --check"
status=0
qpdf --requires-password "$copy" || status=$?
[ "$status" -eq 2 ] || fail "the copy is still encrypted (qpdf --requires-password: $status)"
echo "copy written, not encrypted: $copy"

step "the second desktop entry's command on several documents"
# A locked scan, one locked with another password and one without a password,
# as a file manager hands over a selection.
mkdir "$tmp/Batch"
for name in "first scan" "second scan"; do
  "$build/bin/make-fixture" "$tmp/Batch/$name.pdf" --pages 2 --security aes-256 \
    --user "$password" --owner "owner-$password" --creator "Tessivon Scan 4.2"
done
"$build/bin/make-fixture" "$tmp/Batch/other.pdf" --security aes-256 --user other --owner owner-other
"$build/bin/make-fixture" "$tmp/Batch/open.pdf" --security none
exec_line=$(sed -n 's/^Exec=//p' "$batch_desktop" | head -1)
read -ra words <<<"$exec_line"
command=()
for word in "${words[@]}"; do
  case "$word" in
  %F) command+=("$tmp/Batch/first scan.pdf" "$tmp/Batch/second scan.pdf" "$tmp/Batch/other.pdf" "$tmp/Batch/open.pdf") ;;
  %*) ;;
  *) command+=("$word") ;;
  esac
done
echo "Exec=$exec_line"
start C.UTF-8 "${command[@]}"
wid=$(wait_window "$app_pid" NORMAL)
echo "title: $(title "$wid")"
[ "$(title "$wid")" = "4 documents — pdfunlock" ] || fail "window title $(title "$wid")"
xdo windowfocus --sync "$wid"
xdo type --delay 20 "$password"
xdo key Return
deadline=$((SECONDS + x11_wait_seconds))
until [ -f "$tmp/Batch/first scan_copy.pdf" ] && [ -f "$tmp/Batch/second scan_copy.pdf" ]; do
  [ $SECONDS -lt $deadline ] || fail "no copies within ${x11_wait_seconds}s: $(ls "$tmp/Batch")"
  sleep 0.2
done
sleep 0.5
press "$wid" Escape
# Two documents were not copied: the window asks before their report is lost
# (Save is the default; Discard is the next button).
question=$(wait_window "$app_pid" DIALOG)
press "$question" Tab
xdo key space
wait_exit "$app_pid"
left=$(ls "$tmp/Batch" | tr '\n' '|')
echo "in the folder: $left"
[ "$left" = "first scan.pdf|first scan_copy.pdf|open.pdf|other.pdf|second scan.pdf|second scan_copy.pdf|" ] ||
  fail "left in the folder: $left"
for copy in "$tmp/Batch/first scan_copy.pdf" "$tmp/Batch/second scan_copy.pdf"; do
  qpdf --check "$copy" >/dev/null || fail "$copy does not pass qpdf --check"
done

step "a file size limit too small for the copy"
# The limit's signal is ignored: the write fails, the user is told, nothing is left.
mkdir "$tmp/Limited"
large="$tmp/Limited/large scan.pdf"
"$build/bin/make-fixture" "$large" --pages 2 --image-bytes 300000 --security aes-256 \
  --user "$password" --owner "owner-$password" --creator "Tessivon Scan 4.2"
start C.UTF-8 prlimit --fsize=65536 /usr/bin/pdfunlock "$large"
wid=$(wait_window "$app_pid" NORMAL)
xdo windowfocus --sync "$wid"
type_and_expect "$password" IDS_MSG_FAILED
press "$alert" Return
wait_exit "$app_pid"
left=$(ls -A "$tmp/Limited")
[ "$left" = "large scan.pdf" ] || fail "left in the folder: $left"
echo "nothing left beside the source"

step "the installed program's messages follow the locale"
for run in en:C.UTF-8 de:de_DE.UTF-8 ja:ja_JP.UTF-8; do
  lang=${run%%:*}
  start "${run#*:}" /usr/bin/pdfunlock "$tmp/missing.pdf"
  alert=$(wait_window "$app_pid" DIALOG)
  text=$(message_text "$alert")
  echo "$lang: $text"
  [ "$text" = "$(translated "$lang" IDS_MSG_NO_TESSIVON)" ] || fail "expected the $lang message"
  press "$alert" Return
  wait_exit "$app_pid"
done

step "standard error holds the program's log lines and nothing else"
expected=$(printf 'pdf is not exists.\n%.0s' 1 2 3)
[ "$(cat "$tmp/app.log")" = "$expected" ] || fail "unexpected output: $(cat "$tmp/app.log")"

echo "check-desktop: passed"
