#!/usr/bin/env bash
# Writes the fuzzer's seed corpus with the fixture maker: every security
# handler, with and without object streams, with links, a small image, a
# refused permission, a foreign creator, a wrong password, an unlocked file, a
# stale cross-reference table, every layout qpdf's writer never makes with
# every security handler, and streams that inflate past the budget.
# The user password is "user", the one fuzz_removal types.
# usage: fuzz/make-seeds.sh OUT_DIR [path/to/make-fixture]
set -euo pipefail
out=${1:?usage: fuzz/make-seeds.sh OUT_DIR [make-fixture]}
maker=${2:-"$(dirname "$0")/../build/bin/make-fixture"}
mkdir -p "$out"

n=0
seed() {
  n=$((n + 1))
  "$maker" "$out/seed-$(printf %02d "$n").pdf" "$@"
}

for security in rc4-40 rc4-128 aes-128 aes-256; do
  for streams in "" --object-streams; do
    seed --security "$security" --pages 3 --link 0:2 --link-action 2:0 $streams
    seed --security "$security" --pages 2 --image-bytes 400 $streams
  done
done
seed --security aes-256 --deny print
seed --security rc4-128 --creator "Acme Capture" --producer "Tessivon PDF Library"
seed --security aes-256 --creator "Acme Capture"
seed --security aes-128 --user other
seed --security aes-256 --version 2.0 --pages 1
seed --security none
# A table entry one byte off and an unlisted newer image body: the twin and
# the read-ahead must not read two versions of one image.
seed --security aes-128 --pages 3 --image-bytes 400 --stale-table
for layout in original-numbering indirect-stream-values lower-references hybrid updates \
  unreferenced-bad-entry; do
  for security in rc4-40 rc4-128 aes-128 aes-256; do
    seed --layout "$layout" --security "$security" --pages 3
  done
done
# A cross-reference stream, an object stream and an encryption dictionary in
# an object stream, each inflating past the budget: refused before qpdf
# inflates them.
seed --security aes-256 --pages 2 --inflation-bomb table --bomb-mib 300
seed --security aes-256 --pages 2 --inflation-bomb object-stream --bomb-mib 300
seed --security none --pages 2 --inflation-bomb encryption --bomb-mib 300
echo "$n seeds in $out"
