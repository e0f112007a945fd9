#!/usr/bin/env bash
# Checks the rules that a machine can check: every C++ file is formatted with
# the repository's .clang-format; no Qt or qpdf header is included above the
# platform layer (src/app, src/batch, src/removal); the rooms include one
# another only downwards; no catch block is left empty without
# a comment saying why; every file under src/ is named in docs/DEVELOPING.md.
set -euo pipefail
cd "$(dirname "$0")/.."

failures=0
fail() {
  echo "check-source: $1" >&2
  failures=$((failures + 1))
}

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hh' | grep -v '^build')
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    fail "$f is not formatted (clang-format -i $f)"
  fi
done

# Only the platform layer sees Qt or qpdf.
while IFS= read -r hit; do
  fail "$hit: Qt or qpdf above src/platform"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|qpdf/[^>"]*|ui_[^>"]*)[>"]' src/app src/batch src/removal || true)

# Rooms depend one way: app and batch on removal, removal on platform; app and
# batch never on each other, removal never on either.
while IFS= read -r hit; do
  fail "$hit: include against the direction of the rooms"
done < <({ grep -rnE '#[[:space:]]*include[[:space:]]*"(app|batch)/' src/removal || true
           grep -rnE '#[[:space:]]*include[[:space:]]*"batch/' src/app || true
           grep -rnE '#[[:space:]]*include[[:space:]]*"app/' src/batch || true; })

# An empty catch hides a failure; one that means to must say why.
while IFS= read -r f; do
  fail "$f: empty catch block without a comment"
done < <(grep -rlPz 'catch \([^)]*\)\s*\{\s*\}' -- "${files[@]}" || true)

# The map names every file under src/: in the row of its folder
# (| `src/platform/qt/` | ... `Name` or `Name.h` ...) or as a row of its own
# (| `src/main.cpp` | or | `src/DesktopApp.*` |). Untracked files count too.
map=docs/DEVELOPING.md
mapped=0
while IFS= read -r f; do
  [ -f "$f" ] || continue
  dir=${f%/*}
  base=${f##*/}
  stem=${base%%.*}
  mapped=$((mapped + 1))
  grep -qF -e "| \`$f\` |" -e "| \`$dir/$stem.*\` |" "$map" && continue
  grep -F "| \`$dir/\` |" "$map" | grep -qE "\`$stem(\.[A-Za-z*]+)?\`" && continue
  fail "$f is not named in $map (add it to the row of $dir/)"
done < <(git ls-files --cached --others --exclude-standard -- src)

if [ "$failures" -gt 0 ]; then
  echo "check-source: $failures problem(s)" >&2
  exit 1
fi
echo "check-source: ${#files[@]} files formatted; layers and catch blocks in order; $mapped files under src/ on the map"
