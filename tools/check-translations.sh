#!/usr/bin/env bash
# Checks that every translation file is complete: no unfinished, vanished or
# obsolete entries, and a non-empty translation for every message key of
# the list in src/removal/IDSKey.h and every IDS_UI_ id the sources use.
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

# The keys of the one list in IDSKey.h: its X(IDS_...) entries.
mapfile -t keys < <(grep -oE '\bX\(IDS_[A-Z0-9_]+\)' "$src/removal/IDSKey.h" | sed -e 's/^X(//' -e 's/)$//' || true)
mapfile -t ui_ids < <(grep -rhoE '"IDS_UI_[A-Z0-9_]+"' "$src" | tr -d '"' | sort -u || true)

if [ ${#keys[@]} -eq 0 ]; then
  echo "check-translations: found no IDS_KEY names in $src/removal/IDSKey.h" >&2
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
echo "check-translations: ${#ts_files[@]} files complete for ${#keys[@]} message keys and ${#ui_ids[@]} window ids"
