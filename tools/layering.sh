#!/usr/bin/env bash
# Checks the layering of the source folders: a file may include headers of its own folder
# and of the folders listed before it, never of a folder listed after it. A folder's
# "qt" subfolder (the Qt faces) is a layer of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(
  core        # text, dates, code pages, services: nothing of ours
  platform    # stand-ins for Windows services: registry, profile files, shell, system figures
  records     # record files, the xBase long-text store
  rules       # field tables and field rules of the three versions
  settings    # settings store, environment probes
  run         # the check-run model: file, positions, state, the counting error log
  views       # logic of the secondary windows
  update      # internet update
  app         # entry routine and the main window's logic
  platform/qt # Qt stand-ins: message boxes, dialogs, dialog units, locale
  views/qt    # Qt faces of the secondary windows
  update/qt   # Qt face of the update settings window
  app/qt      # Qt face of the main window, main()
  cli         # the command-line checker
  web         # the web page: the checker in a browser (WebAssembly)
  tools       # installation step, generator, benchmarks, fuzz targets
  tests
)

layer_of() {
  local path=$1 i
  for ((i = ${#layers[@]} - 1; i >= 0; i--)); do
    case "$path" in "${layers[$i]}"/*) echo "$i"; return;; esac
  done
  echo -1
}

faults=0
while IFS= read -r file; do
  own=$(layer_of "$file")
  ((own >= 0)) || continue
  while IFS= read -r inc; do
    other=$(layer_of "$inc")
    if ((other > own)); then
      echo "Schichtfehler: $file (${layers[$own]}) bindet $inc (${layers[$other]}) ein"
      faults=$((faults + 1))
    fi
    # The Qt stand-ins of the platform sit below every window: they know only the base
    # layer and the platform.
    if [[ $file == platform/qt/* && $inc != core/* && $inc != platform/* && $inc == */* ]]; then
      echo "Schichtfehler: $file (platform/qt) bindet $inc ein (nur core und platform)"
      faults=$((faults + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h')

if ((faults > 0)); then
  echo "Schichtung: $faults Verstöße"
  exit 1
fi
echo "Schichtung: in Ordnung (${#layers[@]} Schichten)"
