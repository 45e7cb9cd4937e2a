#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each one on its seeds for
# SECONDS (default 30), as many at a time as there are processors. Fails on any finding.
#   tools/fuzz/run.sh [SECONDS] [more ctest options, e.g. -R check_run]
# ARTI_FUZZ_CORPUS=FOLDER keeps what the fuzzers find there for the next run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-30}
[ $# -gt 0 ] && shift
jobs="$(nproc)"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" -DARTI_FUZZ=ON -DARTI_WERROR=ON \
  -DARTI_BUILD_GUI=OFF -DARTI_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz
rm -f build-fuzz/fuzz/logs/*.log
status=0
ARTI_FUZZ_SECONDS=$seconds ctest --test-dir build-fuzz -L fuzz -j "$jobs" --timeout $((seconds + 600)) \
  --output-on-failure "$@" || status=$?
# What each target did, from its log.
for log in build-fuzz/fuzz/logs/*.log; do
  [ -f "$log" ] || continue
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "  $(basename "$log" .log): ${runs:-?} Läufe"
done
exit "$status"
