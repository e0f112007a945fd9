#!/usr/bin/env bash
# Checks that every translation file is complete: no unfinished, vanished or
# obsolete entries, and a non-empty translation for every id of the two lists:
# the message keys (src/removal/IDSKey.h) and the window's captions
# (src/platform/qt/CaptionKeys.h). An id written into the sources outside
# those lists fails too: lupdate would not keep it.
# Usage: tools/check-translations.sh [SOURCE_DIR [TS_FILE...]]
set -euo pipefail
cd "$(dirname "$0")/.."

src=${1:-src}
shift || true
if [ $# -gt 0 ]; then
  ts_files=("$@")
else
  ts_files=(resources/translations/*.ts)
fi

command -v xmllint >/dev/null || { echo "check-translations: xmllint is missing (tools/install-deps.sh)" >&2; exit 2; }

# The X(IDS_...) entries of a list.
list_ids() { grep -oE '\bX\(IDS_[A-Z0-9_]+\)' "$1" | sed -e 's/^X(//' -e 's/)$//' || true; }
mapfile -t keys < <(list_ids "$src/removal/IDSKey.h")
mapfile -t ui_ids < <(list_ids "$src/platform/qt/CaptionKeys.h")

if [ ${#keys[@]} -eq 0 ]; then
  echo "check-translations: found no IDS_KEY names in $src/removal/IDSKey.h" >&2
  exit 1
fi
if [ ${#ui_ids[@]} -eq 0 ]; then
  echo "check-translations: found no caption ids in $src/platform/qt/CaptionKeys.h" >&2
  exit 1
fi
if [ ${#ts_files[@]} -eq 0 ] || [ ! -f "${ts_files[0]}" ]; then
  echo "check-translations: no .ts files" >&2
  exit 1
fi

failures=0
fail() {
  echo "check-translations: $1" >&2
  failures=$((failures + 1))
}

while IFS= read -r id; do
  printf '%s\n' "${keys[@]}" "${ui_ids[@]}" | grep -qxF "$id" || fail "$id is used in $src but in neither list"
done < <(grep -rhoE '"IDS_[A-Z0-9_]+"' "$src" | tr -d '"' | sort -u || true)

for ts in "${ts_files[@]}"; do
  if ! xmllint --noout "$ts" 2>/dev/null; then
    fail "$ts: not well-formed XML"
    continue
  fi
  for type in unfinished vanished obsolete; do
    n=$(xmllint --xpath "count(//translation[@type='$type'])" "$ts")
    [ "$n" = 0 ] || fail "$ts: $n $type entries"
  done
  for id in "${keys[@]}" "${ui_ids[@]}"; do
    n=$(xmllint --xpath "count(//message[@id='$id'])" "$ts")
    if [ "$n" != 1 ]; then
      fail "$ts: $n entries for $id (expected 1)"
      continue
    fi
    text=$(xmllint --xpath "normalize-space(//message[@id='$id']/translation)" "$ts")
    [ -n "$text" ] || fail "$ts: empty translation for $id"
  done
done

if [ "$failures" -gt 0 ]; then
  echo "check-translations: $failures problem(s)" >&2
  exit 1
fi
echo "check-translations: ${#ts_files[@]} files complete for ${#keys[@]} message keys and ${#ui_ids[@]} window captions"
