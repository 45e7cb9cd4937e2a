#!/usr/bin/env bash
# Builds the web page into build-web/page (Emscripten from Debian's package). Sourced
# helpers install what is missing; the build directory is kept, so a rebuild is quick.
#   web/build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
arti_ensure_packages "${ARTI_WEB_PACKAGES[@]}"
# Debian's emscripten runs its optimiser on the machine's Node.js, which finds the
# JavaScript packages of Debian there.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DARTI_BUILD_GUI=OFF \
  -DARTI_BUILD_BENCHMARKS=OFF "$@" >/dev/null
cmake --build build-web -j "$(nproc)"
echo "Web-Seite: $PWD/build-web/page"
