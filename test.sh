#!/usr/bin/env bash
# Builds everything and runs every test: first the core tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for 30 s (clang build in build-fuzz),
# the web page's benchmark against the command line, the Windows build under wine64
# against the native one, then the whole suite (core, Qt windows and the web page in
# Chromium) in the normal build.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
arti_ensure_packages

jobs="$(nproc)"
# A compiler cache, when the machine has one, makes rebuilds of the three builds cheap.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
echo "== Schichtung der Ordner =="
tools/layering.sh
echo "== Formatierung (clang-format, .clang-format) =="
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DARTI_SANITIZE=ON -DARTI_WERROR=ON \
  -DARTI_BUILD_GUI=OFF -DARTI_BUILD_BENCHMARKS=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j "$jobs"
echo "== Windows-Build (MinGW-w64) =="
tools/win/build.sh -DARTI_WERROR=ON
echo "== Web-Seite (Emscripten) =="
web/build.sh -DARTI_WERROR=ON
(cd tests/web && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DARTI_BUILD_GUI=ON -DARTI_SANITIZE=OFF -DARTI_WERROR=ON \
  -DARTI_WEB_PAGE="$PWD/build-web/page" "${launcher[@]}" >/dev/null
cmake --build build -j "$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== Kern-Tests unter ASan/UBSan =="
ctest --test-dir build-asan --output-on-failure -j "$jobs" -L core
echo "== Fuzzing (30 s je Ziel) =="
tools/fuzz/run.sh 30
echo "== Web-Seite gegen die Kommandozeile (Benchmark) =="
tests/web/run.sh --bench 400 build-web/page build/bin/artiscope-check build/bin/eldanorm-gen
echo "== Prüfgeschwindigkeit: Instruktionen je Byte, Zeit gegen wc -l =="
tools/bench/instructions.sh build/bin/eldanorm-gen build/bin/artiscope-check
tools/bench/wall.sh build/bin/eldanorm-gen build/bin/artiscope-check --runs 5
echo "== Windows-Build unter wine64 gegen den nativen Build =="
tests/windows/run.sh build-win build/bin/artiscope-check build/bin/eldanorm-gen
echo "== Alle Tests =="
ctest --test-dir build --output-on-failure -j "$jobs"
