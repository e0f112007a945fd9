#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz/), makes the seed corpus with the
# fixture maker of the default build, replays the kept regression inputs and
# fuzzes briefly: a check that the target builds and runs, not a search.
# usage: fuzz/smoke.sh [RUNS]   (default 2000)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-2000}

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPDFUNLOCK_FUZZ=ON -DPDFUNLOCK_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_removal fuzz_inflation_budget
[ -x build/bin/make-fixture ] || { cmake --preset default >/dev/null && cmake --build --preset default --target make-fixture; }

rm -rf build-fuzz/corpus
fuzz/make-seeds.sh build-fuzz/corpus build/bin/make-fixture
build-fuzz/bin/fuzz_removal -runs=0 tests/robustness/regressions/*.pdf
build-fuzz/bin/fuzz_removal -runs="$runs" -seed=1 -timeout=10 -rss_limit_mb=2048 \
  -dict=fuzz/pdf.dict -artifact_prefix=build-fuzz/ build-fuzz/corpus
# What the budget lets through stays within it: 64 MiB of decoded data, which
# qpdf gathers in buffers of at most 128 MiB. Unchecked, the bombs among the
# seeds inflate to 300 MiB.
build-fuzz/bin/fuzz_inflation_budget -runs="$runs" -seed=1 -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=256 \
  -dict=fuzz/pdf.dict -artifact_prefix=build-fuzz/ build-fuzz/corpus
