#!/usr/bin/env bash
# Builds ARTISCOPE and starts it. Without a profile of your own (no registry hives for
# this user or machine, and ARTISCOPE_REGISTRY_DIR unset) it runs on the demo profile in
# ./demo, which the installation step sets up on first use.
#
#   ./run.sh --web [PORT]   builds the web page and serves it on http://localhost:PORT/
#                           (default 8080) until Ctrl+C
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1:-}" = "--web" ]; then
  web/build.sh
  exec python3 web/serve.py build-web/page "${2:-8080}"
fi
source tools/deps.sh
arti_ensure_packages

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DARTI_BUILD_GUI=ON -DARTI_SANITIZE=OFF >/dev/null
cmake --build build

config_home="${XDG_CONFIG_HOME:-$HOME/.config}"
machine_dir="${XDG_CONFIG_DIRS:-}"
machine_dir="${machine_dir%%:*}"
machine_dir="${machine_dir:-/etc/xdg}"
program="build/bin/artiscope"
if [ -z "${ARTISCOPE_REGISTRY_DIR:-}" ] && [ ! -f "$config_home/artiscope/HKCU.ini" ] \
   && [ ! -f "$machine_dir/artiscope/HKLM.ini" ]; then
  tools/install.sh build "$PWD/demo"
  export ARTISCOPE_REGISTRY_DIR="$PWD/demo/registry"
  program="demo/program/artiscope"
  echo "Demo-Profil: $PWD/demo"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Kein Bildschirm (DISPLAY) gesetzt: das Programm läuft in einem virtuellen X-Server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$program" "$@"
fi
exec "$program" "$@"
