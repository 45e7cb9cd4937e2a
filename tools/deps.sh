# Installs the Debian packages the build, the tests and the program need, when missing.
# Sourced by run.sh and test.sh.
ARTI_PACKAGES=(qt6-base-dev qt6-translations-l10n libcurl4-openssl-dev libgtest-dev libbenchmark-dev
  cmake g++ ninja-build xvfb xauth x11-utils libx11-dev fonts-dejavu-core fonts-liberation
  nlohmann-json3-dev help2man desktop-file-utils python3-dbfread python3-dbf libdbd-xbase-perl qt6-svg-dev clang clang-format libclang-rt-14-dev
  libsodium-dev pkg-config openssl minisign python3 valgrind bc)

# The web page's build (Emscripten) and its browser tests (Chromium).
ARTI_WEB_PACKAGES=(emscripten chromium)

# The Windows build (MinGW-w64 cross compiler, GoogleTest's sources, the zip) and its
# tests under wine64.
ARTI_WIN_PACKAGES=(g++-mingw-w64-x86-64-posix googletest wine64 zip perl)

# Installs the given packages, by default those of the build and the tests.
arti_ensure_packages() {
  local missing=() wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${ARTI_PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installiere fehlende Pakete: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
