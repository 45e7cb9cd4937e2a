#!/usr/bin/env bash
# The administrator installation: places the program folder files and writes the
# machine-wide values. Usage: tools/install.sh BUILD_DIR TARGET_DIR [UPDATE_KEY]
# UPDATE_KEY: the update site's minisign public key; it becomes program/update-key.pub,
# without which no downloaded installer is ever started.
# TARGET_DIR gets program/ (program, German module, info.txt), data/ArtiImport/ (the
# user data folder) and registry/ (the hives). Values already installed are rewritten.
set -euo pipefail
build="$1"
target="$2"
mkdir -p "$target/program" "$target/data/ArtiImport" "$target/registry"
cp -f "$build/bin/artiscope" "$build/bin/German.qm" "$build/bin/info.txt" "$build"/bin/*.html "$target/program/"
if [ $# -ge 3 ]; then
  cp -f "$3" "$target/program/update-key.pub"
fi
# Automatic updates stay off: a first start never reaches the network.
ARTISCOPE_REGISTRY_DIR="$target/registry" "$build/bin/artiscope-install" \
  --install-path "$target/data/" --program-update FALSE
# A few small demo files of each version for the first check.
"$build/bin/eldanorm-gen" --demo "$target/data/ArtiImport" >/dev/null
