#!/usr/bin/env bash
# The Windows build in build-win (MinGW-w64 cross compiler): artiscope-check.exe,
# eldanorm-gen.exe, the Qt-free tests and artiscope-check-windows-x64.zip.
#   tools/win/build.sh [CMAKE_OPTIONS...]     (test.sh adds -DARTI_WERROR=ON)
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/deps.sh
arti_ensure_packages "${ARTI_WIN_PACKAGES[@]}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DARTI_BUILD_GUI=OFF -DARTI_BUILD_BENCHMARKS=OFF "${launcher[@]}" "$@" >/dev/null
cmake --build build-win -j "$(nproc)"
echo "Windows-Archiv: build-win/artiscope-check-windows-x64.zip"
