#!/usr/bin/env bash
# The Windows build under wine64 against the native build:
#   tests/windows/run.sh BUILD_WIN NATIVE_CHECKER NATIVE_GENERATOR
# 1. the Qt-free unit tests of the Windows build (ctest, each under wine64);
# 2. the golden inputs of tests/data/golden and file names with umlauts, blanks and more
#    than 260 characters, from a working folder with "ä": exit code, standard output,
#    Error.log, the long-text store and the JSON report of artiscope-check.exe must be
#    those of the native checker (paths written the Windows way, "Z:\tmp\a", are read as
#    "/tmp/a");
# 3. every fault kind of the generator in every version, compared the same way;
# 4. Ctrl+C during a check: exit code 2, the log complete up to the stop.
# Prints "Windows: N Vergleiche, F Fehler" and exits 1 on any failure.
set -euo pipefail
[ $# -eq 3 ] || { echo "Aufruf: $0 BUILD_WIN NATIVE_CHECKER NATIVE_GENERATOR" >&2; exit 2; }
build="$(cd "$1" && pwd)"
native="$(realpath "$2")"
gen="$(realpath "$3")"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
source "$root/tools/win/wine.sh"
arti_wine_prefix "$build"
trap arti_wine_stop EXIT
wrapper="$(arti_wine_wrapper "$build" artiscope-check)"

failures=0
compared=0
fail() { echo "FEHLER: $*"; failures=$((failures + 1)); }

echo "-- Unit-Tests des Windows-Builds unter wine64"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || fail "ctest im Windows-Build"

work="$build/vergleich"
rm -rf "$work"
mkdir -p "$work"

# The log and the VTEXT header carry the time of day and the date of the check, the
# summary and the report the time of day in a finding's text and the duration: they are
# blanked for the comparison. The log shows a long path cut in the middle, each system
# its own: its file line keeps the file's name.
blank_clock() { # file -> stdout
  case "${1,,}" in
    *.log) LC_ALL=C sed -E -e 's/[0-9]{2}\.[0-9]{2}\.[0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2} Uhr/DATUM/' \
             -e 's/[0-9]{2}:[0-9]{2}:[0-9]{2} Uhr/ZEIT/g' -e 's#^(Datei: ).*[/\\]#\1#' "$1" ;;
    *.dbf) { head -c 1 "$1"; printf '\0\0\0'; tail -c +5 "$1"; } ;;
    *) LC_ALL=C sed -E -e '/^  (Dauer|Durchsatz) /d' -e 's/"seconds":[0-9.e+-]+/"seconds":0/g' \
         -e 's/[0-9]{2}:[0-9]{2}:[0-9]{2} Uhr/ZEIT/g' "$1" ;;
  esac
}

# Runs one check natively and under wine, each in a fresh copy of CASE/in (the working
# folder is CASE/<side>/WORKDIR), and compares everything they leave.
#   compare CASE WORKDIR ARGS...   (ARGS name files relative to the working folder)
compare() {
  local case="$1" sub="$2" side rc
  shift 2
  compared=$((compared + 1))
  for side in native wine; do
    rm -rf "$case/$side"
    mkdir -p "$case/$side"
    cp -a "$case/in/." "$case/$side/"
    mkdir -p "$case/$side/$sub"
    rc=0
    if [ "$side" = native ]; then
      (cd "$case/$side/$sub" && ARTISCOPE_REGISTRY_DIR="$case/reg-$side" "$native" "$@" >"$case/$side.out" 2>"$case/$side.err") || rc=$?
    else
      (cd "$case/$side/$sub" && ARTISCOPE_REGISTRY_DIR="$case/reg-$side" "$wrapper" "$@" >"$case/$side.out" 2>"$case/$side.err") || rc=$?
    fi
    echo "$rc" >"$case/$side.rc"
    # Paths name the side's own folder, under wine as Z:\... with backslashes: both
    # become CASE/...
    find "$case/$side" -type f \( -name '*.jsonl' -o -name '*.log' \) -print0 |
      xargs -0 -r "$here/paths.pl" "$case/$side"
    "$here/paths.pl" "$case/$side" "$case/$side.out" "$case/$side.err"
  done
  local what=""
  cmp -s "$case/native.rc" "$case/wine.rc" || what+=" Exitcode($(cat "$case/native.rc")/$(cat "$case/wine.rc"))"
  cmp -s <(blank_clock "$case/native.out") <(blank_clock "$case/wine.out") || what+=" Standardausgabe"
  cmp -s "$case/native.err" "$case/wine.err" || what+=" Fehlerausgabe"
  diff -q <(cd "$case/native" && find . -type f | LC_ALL=C sort) <(cd "$case/wine" && find . -type f | LC_ALL=C sort) \
    >/dev/null || what+=" Dateiliste"
  while IFS= read -r -d '' f; do
    [ -f "$case/wine/$f" ] || continue
    cmp -s <(blank_clock "$case/native/$f") <(blank_clock "$case/wine/$f") || what+=" $f"
  done < <(cd "$case/native" && find . -type f -printf '%P\0')
  if [ -n "$what" ]; then
    fail "$(basename "$case"):$what"
    diff <(blank_clock "$case/native.out") <(blank_clock "$case/wine.out") | head -n 10 || true
    diff "$case/native.err" "$case/wine.err" | head -n 5 || true
  fi
}

readonly WINDOW=(--datum-von 01.01.2024 --datum-bis 31.01.2024 --ohne-fortschritt)

echo "-- Goldene Eingaben: nativ gegen wine64"
for input in "$root"/tests/data/golden/*/input.*; do
  name="$(basename "$(dirname "$input")")"
  case="$work/golden-$name"
  mkdir -p "$case/in"
  cp "$input" "$case/in/ARTIKEL.001"
  compare "$case" . "${WINDOW[@]}" --bericht bericht.jsonl --bericht-meldungen ARTIKEL.001
done

echo "-- Dateinamen mit Umlauten, Leerzeichen und über 260 Zeichen, Arbeitsordner mit ä"
case="$work/namen"
mkdir -p "$case/in"
"$gen" --version 2000 --records 400 --seed 3 --fault bad-check-digit "$case/in/Preisliste Müller & Söhne 2024.001" >/dev/null
"$gen" --version 0196 --records 300 --seed 4 "$case/in/ARTIKEL Ä.001" >/dev/null
long="Ordner mit einem sehr langen Namen für die Prüfung der Pfade über zweihundertsechzig Zeichen"
deep="$long/$long/$long"
mkdir -p "$case/in/$deep"
"$gen" --version 0590 --records 200 --seed 5 "$case/in/$deep/Lange Datei.dat" >/dev/null
mkdir -p "$case/in/Prüfung ä"
compare "$case" "Prüfung ä" "${WINDOW[@]}" -o "Protokolle ä" --bericht "Bericht ü.jsonl" \
  "../Preisliste Müller & Söhne 2024.001" "../ARTIKEL Ä.001" "../$deep/Lange Datei.dat"
[ -f "$case/wine/Prüfung ä/Protokolle ä/Preisliste Müller & Söhne 2024.001.Error.log" ] ||
  fail "kein Protokoll mit Umlauten im Namen unter wine"

echo "-- Jede Fehlerart des Generators in jeder Version"
for version in 0590 0196 2000; do
  for fault in none $("$gen" --list-faults | awk '{print $1}'); do
    case="$work/gen-$version-$fault"
    mkdir -p "$case/in"
    args=(--version "$version" --records 300 --seed 2 --date 15.01.2024)
    [ "$fault" != none ] && args+=(--fault "$fault")
    "$gen" "${args[@]}" "$case/in/ARTIKEL.001" >/dev/null 2>&1 || { rm -rf "$case"; continue; }
    compare "$case" . "${WINDOW[@]}" --bericht bericht.jsonl ARTIKEL.001
  done
done

echo "-- Strg+C während der Prüfung"
case="$work/stopp"
mkdir -p "$case"
"$gen" --version 0196 --records 3000000 --seed 6 "$case/GROSS.001" >/dev/null
rc=0
(cd "$case" && ARTISCOPE_REGISTRY_DIR="$case/reg" "$here/interrupt.sh" Error.log "$wrapper" "${WINDOW[@]}" GROSS.001 \
  >"$case/out" 2>"$case/err") || rc=$?
if [ "$rc" != 2 ]; then
  fail "Strg+C: Exitcode $rc statt 2"
  cat "$case/out" "$case/err" | head -n 20
elif ! grep -aq "vom Benutzer abgebrochen" "$case/Error.log"; then
  fail "Strg+C: das Protokoll nennt den Abbruch nicht"
fi

echo "Windows: $compared Vergleiche, $failures Fehler"
[ "$failures" -eq 0 ]
