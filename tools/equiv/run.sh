#!/usr/bin/env bash
# Runs two builds of artiscope-check on the same inputs and reports every way their
# results differ. Meant for a redesign that must not change behaviour.
#   tools/equiv/run.sh BEFORE_CHECKER AFTER_CHECKER GENERATOR [--seeds N] [--mutations M]
#                      [--records R] [--work DIR]
# GENERATOR is eldanorm-gen. Inputs: every version (05/90, 01/96, 2000 with ';' and '|'),
# without a fault and with each fault the generator lists for the version, seeds 1..N
# (default 3), R records (default 300), each checked with four option sets; then M
# (default 200) damaged copies made by mutate.py, each with the default set and one
# other. Each check runs once per build in a fresh folder, under a clean environment
# with a fixed date window, so nothing depends on today or on the user's settings.
# Compared: the exit code, stdout (without its rows of duration and throughput),
# stderr, every file the check left in its folder and in its home, byte for byte, and
# the input file, which must stay as it was. A pair during which the clock turned a
# second (date and time of day in the log and the VTEXT header may then differ) runs
# again at the start of a second.
# Prints one line per difference with a diff excerpt, then
#   Äquivalenz: N Prüfungen verglichen, D Unterschiede
# and exits 1 when D > 0 (2 for a wrong call or a failing generator).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
self="$here/$(basename "$0")"

# The date of every generated header, and a date window of the check around it.
readonly GEN_DATE=15.01.2024
readonly DATE_FROM=01.01.2024
readonly DATE_TO=31.01.2024

# The option sets of the check, by name.
readonly OPTSETS=(default ohne-feldpruefung ohne-zeichenpruefung alles-ja)
optset_args() { # name -> OPTSET_ARGS
  case "$1" in
    default) OPTSET_ARGS=() ;;
    ohne-feldpruefung) OPTSET_ARGS=(--ohne-feldpruefung) ;;
    ohne-zeichenpruefung) OPTSET_ARGS=(--ohne-zeichenpruefung) ;;
    alles-ja)
      OPTSET_ARGS=(--bei-laengenfehler-weiter ja --alte-texte-loeschen ja --textspeicher-neu ja
                   --datum-anpassen ja --waehrung-uebernehmen ja) ;;
    *) echo "run.sh: unbekannter Optionssatz $1" >&2; exit 2 ;;
  esac
}

# The generator's arguments for one input (SEP: semi, pipe or empty).
gen_args() { # version sep seed fault out -> GEN_ARGS
  GEN_ARGS=(--version "$1" --records "$EQ_RECORDS" --seed "$3" --date "$GEN_DATE")
  case "$2" in
    semi) GEN_ARGS+=(--separator ';') ;;
    pipe) GEN_ARGS+=(--separator '|') ;;
  esac
  [ "$4" != none ] && GEN_ARGS+=(--fault "$4")
  GEN_ARGS+=("$5")
}

# The checker's arguments for one run: one folder for log and long-text store, the
# fixed date window, the option set, the file.
check_args() { # folder optset file -> CHECK_ARGS
  optset_args "$2"
  CHECK_ARGS=(--ohne-fortschritt -o "$1" --daten-ordner "$1" --datum-von "$DATE_FROM" --datum-bis "$DATE_TO"
              "${OPTSET_ARGS[@]}" "$3")
}

# The environment of a check: nothing of the caller's, a fixed PATH, UTC and a fixed
# locale (the workers start with just this), and per run a home of its own with an
# empty settings store and a temporary folder (set in run_side).
readonly BASE_ENV=(PATH=/usr/local/bin:/usr/bin:/bin TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8)
home_env() { # home -> HOME_ENV
  HOME_ENV=("HOME=$1" "TMPDIR=$1/tmp" "ARTISCOPE_REGISTRY_DIR=$1/registry")
}

# ---------------------------------------------------------------------------------------
# Worker: one check with both builds. A case folder holds input/FILE and per build a
# folder before/ or after/ with run/ (the check's folder), home/, stdout, stderr and
# exitcode.

# The rows of stdout that depend on the speed of the machine: the duration and the
# throughput (the latter also names the size in MB, which the record count covers).
readonly SPEED_ROWS=('^  Dauer  *[0-9.,]* s$' '^  Durchsatz  *[0-9.,]* MB/s ([0-9.,]* MB)$')

# A copy of stdout without those rows.
filter_stdout() { # file out
  LC_ALL=C sed -e "/${SPEED_ROWS[0]}/d" -e "\#${SPEED_ROWS[1]}#d" "$1" >"$2"
}

# A copy of a written file with its clock fields blanked: the log's date and times of
# day, the last-change date in bytes 1-3 of an xBase table.
clock_blanked() { # file out
  case "${1,,}" in
    *.log)
      LC_ALL=C sed -E \
        -e 's/^Fehlerprotokoll vom [0-9]{2}\.[0-9]{2}\.[0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2} Uhr/Fehlerprotokoll vom TT.MM.JJJJ - hh:mm:ss Uhr/' \
        -e 's/(^|[^0-9])[0-9]{2}:[0-9]{2}:[0-9]{2} Uhr/\1hh:mm:ss Uhr/g' "$1" >"$2" ;;
    *.dbf)
      if [ "$(stat -c %s "$1")" -ge 4 ]; then
        { head -c 1 "$1"; printf '\0\0\0'; tail -c +5 "$1"; } >"$2"
      else
        cp "$1" "$2"
      fi ;;
    *) cp "$1" "$2" ;;
  esac
}

# At most 20 lines of `diff A B` (logs read as Windows-1252, other files written by the
# check as a hex dump), indented, control characters shown as '?'.
excerpt() { # kind a b
  local out n
  case "$1" in
    text) out="$(diff -a "$2" "$3" | iconv -c -f WINDOWS-1252 -t UTF-8 || true)" ;;
    utf8) out="$(diff -a "$2" "$3" || true)" ;;
    hex) out="$(diff <(xxd "$2") <(xxd "$3") || true)" ;;
  esac
  n="$(printf '%s\n' "$out" | wc -l)"
  if [ "$n" -le 20 ]; then
    printf '%s\n' "$out"
  else
    printf '%s\n' "$out" | head -n 19
    echo "... ($((n - 19)) Zeilen mehr)"
  fi | LC_ALL=C tr '\000-\010\013-\037' '?' | sed 's/^/    /' || true
}

# Compares the folders A and B (named WHAT in the report) file by file. When the clock
# turned a second during the pair ($ticked), files are compared with their clock
# fields blanked, and a file that differs only there is reported as undecided.
compare_tree() { # what a b
  local what="$1" a="$2" b="$3" name kind
  if ! diff <(cd "$a" && find . -mindepth 1 -printf '%y %P\n' | LC_ALL=C sort) \
            <(cd "$b" && find . -mindepth 1 -printf '%y %P\n' | LC_ALL=C sort) >"$cmpdir/list.diff"; then
    { echo "UNTERSCHIED $label: Dateien in $what (< BEFORE, > AFTER)"
      head -n 20 "$cmpdir/list.diff" | sed 's/^/    /'; } >>"$report"
  fi
  while IFS= read -r -d '' name; do
    [ -f "$b/$name" ] || continue
    cmp -s "$a/$name" "$b/$name" && continue
    kind=hex
    case "${name,,}" in *.log) kind=text ;; esac
    if [ "$ticked" = 0 ]; then
      { echo "UNTERSCHIED $label: $what/$name"; excerpt "$kind" "$a/$name" "$b/$name"; } >>"$report"
      continue
    fi
    clock_blanked "$a/$name" "$cmpdir/a"
    clock_blanked "$b/$name" "$cmpdir/b"
    if cmp -s "$cmpdir/a" "$cmpdir/b"; then
      { echo "UNTERSCHIED $label: $what/$name nur in Datum und Uhrzeit, doch die Uhr lief in jedem Versuch weiter (unentschieden)"
        excerpt "$kind" "$a/$name" "$b/$name"; } >>"$report"
    else
      { echo "UNTERSCHIED $label: $what/$name (Datum und Uhrzeit übergangen)"
        excerpt "$kind" "$cmpdir/a" "$cmpdir/b"; } >>"$report"
    fi
  done < <(cd "$a" && find . -type f -printf '%P\0' | LC_ALL=C sort -z)
}

# One run of one build in the fresh folder $dir/run with the fresh home $dir/home,
# both moved under SIDE afterwards, so that both builds see the same paths. The input
# copy keeps the time stamp of the original; a newer one means the build wrote to it.
run_side() { # side checker
  local side="$1" checker="$2" rc=0
  # The same variables as home_env.
  HOME="$dir/home" TMPDIR="$dir/home/tmp" ARTISCOPE_REGISTRY_DIR="$dir/home/registry" \
    "$checker" "${CHECK_ARGS[@]}" >"$dir/$side/stdout" 2>"$dir/$side/stderr" </dev/null || rc=$?
  echo "$rc" >"$dir/$side/exitcode"
  mv "$dir/run" "$dir/home" "$dir/$side/"
  if [ "$dir/input/$file" -nt "$source" ]; then
    echo "UNTERSCHIED $label: $side hat die Eingabedatei verändert" >>"$report"
    cp -p "$source" "$dir/input/$file"
  fi
}

# Everything of the two runs, item by item (called only when they differ somewhere).
compare_sides() {
  local rb ra
  read -r rb <"$dir/before/exitcode"
  read -r ra <"$dir/after/exitcode"
  [ "$rb" = "$ra" ] || echo "UNTERSCHIED $label: Exitcode BEFORE $rb, AFTER $ra" >>"$report"
  filter_stdout "$dir/before/stdout" "$cmpdir/stdout.before"
  filter_stdout "$dir/after/stdout" "$cmpdir/stdout.after"
  if ! cmp -s "$cmpdir/stdout.before" "$cmpdir/stdout.after"; then
    { echo "UNTERSCHIED $label: Standardausgabe"; excerpt utf8 "$cmpdir/stdout.before" "$cmpdir/stdout.after"; } >>"$report"
  fi
  if ! cmp -s "$dir/before/stderr" "$dir/after/stderr"; then
    { echo "UNTERSCHIED $label: Fehlerausgabe"; excerpt utf8 "$dir/before/stderr" "$dir/after/stderr"; } >>"$report"
  fi
  compare_tree Ordner "$dir/before/run" "$dir/after/run"
  compare_tree Home "$dir/before/home" "$dir/after/home"
}

# Waits for the start of the next second.
next_second() {
  local micro=$((10#${EPOCHREALTIME#*.}))
  sleep "0.$(printf '%06d' $((1000000 - micro)))"
}

# One job "CASE INPUT OPTSET": the check with BEFORE, then with AFTER, then the
# comparison: one `diff -r` when all is alike (it passes over hunks made only of speed
# rows, which only stdout has: the log's lines end in CR), item by item otherwise. Both builds write the time of day into the log and the date
# into the VTEXT header; if the clock turned a second between the start of the first
# run and the end of the second, a differing pair runs again at the start of the next
# second, up to three times in all.
# A case without a difference leaves its folder in $finished, to be removed in one go.
check_one() {
  local input attempt start
  read -r label input optset <<<"$1"
  dir="$EQ_WORK/cases/$label"
  source="$EQ_WORK/inputs/$input"
  file="${input##*/}"
  report="$dir/report"
  cmpdir="$dir/cmp"
  check_args "$dir/run" "$optset" "$dir/input/$file"
  for attempt in 1 2 3; do
    if [ "$attempt" -gt 1 ]; then
      rm -rf "$dir"
      next_second
    fi
    mkdir -p "$dir/input" "$dir/before" "$dir/after" "$dir/run" "$dir/home/tmp" "$dir/home/registry"
    cp -p "$source" "$dir/input/$file"
    : >"$report"
    start=${EPOCHREALTIME%.*}
    run_side before "$EQ_BEFORE"
    mkdir -p "$dir/run" "$dir/home/tmp" "$dir/home/registry"
    run_side after "$EQ_AFTER"
    ticked=$((${EPOCHREALTIME%.*} != start))
    if [ ! -s "$report" ] && diff -r --no-dereference -I "${SPEED_ROWS[0]}" -I "${SPEED_ROWS[1]}" \
         "$dir/before" "$dir/after" >/dev/null 2>&1; then
      finished+=("$dir")
      return 0
    fi
    [ "$ticked" = 1 ] && [ "$attempt" -lt 3 ] || break
  done
  mkdir -p "$cmpdir"
  compare_sides
  rm -rf "$cmpdir"
}

# One generator job "NAME VERSION SEP SEED FAULT" (SEP '-' for none).
gen_one() {
  local name version sep seed fault
  read -r name version sep seed fault <<<"$1"
  gen_args "$version" "$sep" "$seed" "$fault" "$EQ_WORK/inputs/gen/$name.dat"
  if ! "$EQ_GEN" "${GEN_ARGS[@]}" 2>"$EQ_WORK/inputs/gen/$name.gen.err"; then
    echo "run.sh: der Generator scheitert an $name:" >&2
    sed 's/^/    /' "$EQ_WORK/inputs/gen/$name.gen.err" >&2
    return 255 # stops xargs
  fi
  rm -f "$EQ_WORK/inputs/gen/$name.gen.err"
}

# Internal calls from xargs, several jobs each, in an environment of just BASE_ENV and
# the EQ_ variables, which the checks do not get. A check that runs for more than two
# minutes of processor time is killed.
case "${1:-}" in
  --check-jobs)
    shift
    export -n EQ_BEFORE EQ_AFTER EQ_GEN EQ_WORK EQ_RECORDS
    cd "$EQ_WORK"
    ulimit -t 120
    finished=()
    for job in "$@"; do check_one "$job"; done
    [ ${#finished[@]} -eq 0 ] || rm -rf "${finished[@]}"
    exit 0 ;;
  --gen-jobs)
    shift
    for job in "$@"; do gen_one "$job" || exit 255; done
    exit 0 ;;
esac

# ---------------------------------------------------------------------------------------
# Main: arguments, inputs, jobs, report.

usage() {
  sed -n '4,5p' "$self" | sed 's/^# //' >&2
  exit 2
}

[ $# -ge 3 ] || usage
absolute() { # path of an existing executable, made absolute
  local p="$1"
  [[ "$p" == */* ]] || p="$(command -v "$p" || true)"
  if [ -z "$p" ] || [ ! -x "$p" ] || [ -d "$p" ]; then
    echo "run.sh: $1 ist kein ausführbares Programm" >&2
    exit 2
  fi
  echo "$(cd "$(dirname "$p")" && pwd)/$(basename "$p")"
}
EQ_BEFORE="$(absolute "$1")"
EQ_AFTER="$(absolute "$2")"
EQ_GEN="$(absolute "$3")"
shift 3
seeds=3
mutations=200
EQ_RECORDS=300
work=
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --seeds) seeds="$2" ;;
    --mutations) mutations="$2" ;;
    --records) EQ_RECORDS="$2" ;;
    --work) work="$2" ;;
    *) usage ;;
  esac
  shift 2
done
for n in "$seeds" "$mutations" "$EQ_RECORDS"; do
  [[ "$n" =~ ^[0-9]+$ ]] || usage
done

# The work folder: new, or one an earlier run made (it carries a mark); never a folder
# with other content, since everything in it is deleted.
readonly MARK=.artiscope-equiv
if [ -z "$work" ]; then
  work="$(mktemp -d "${TMPDIR:-/tmp}/artiscope-equiv.XXXXXX")"
elif [ -d "$work" ] && [ -n "$(ls -A "$work")" ] && [ ! -e "$work/$MARK" ]; then
  echo "run.sh: $work ist nicht leer und stammt nicht von einem früheren Lauf" >&2
  exit 2
fi
mkdir -p "$work"
EQ_WORK="$(cd "$work" && pwd)"
rm -rf "${EQ_WORK:?}/inputs" "$EQ_WORK/cases" "$EQ_WORK/jobs"
touch "$EQ_WORK/$MARK"
mkdir -p "$EQ_WORK/inputs/gen" "$EQ_WORK/inputs/mut" "$EQ_WORK/cases" "$EQ_WORK/jobs"
export EQ_BEFORE EQ_AFTER EQ_GEN EQ_WORK EQ_RECORDS
jobs="$(nproc)"
started=$SECONDS

# The faults of each version, as the generator lists them: "NAME (0590, 0196) text".
mapfile -t fault_lines < <("$EQ_GEN" --list-faults)
faults_of() {
  local line
  for line in "${fault_lines[@]}"; do
    [[ "$line" =~ ^([a-z0-9-]+)\ +\(([0-9, ]+)\) ]] || continue
    [[ ", ${BASH_REMATCH[2]}," == *", $1,"* ]] && echo "${BASH_REMATCH[1]}"
  done
  return 0
}

# Generator jobs and check jobs of the generated inputs.
: >"$EQ_WORK/jobs/gen"
: >"$EQ_WORK/jobs/check"
for version in 0590 0196 2000; do
  seps=(-)
  [ "$version" = 2000 ] && seps=(semi pipe)
  mapfile -t faults < <(echo none; faults_of "$version")
  for sep in "${seps[@]}"; do
    for ((seed = 1; seed <= seeds; seed++)); do
      for fault in "${faults[@]}"; do
        name="$version"
        [ "$sep" != - ] && name+="-$sep"
        name+="-s$seed-$fault"
        echo "$name $version $sep $seed $fault" >>"$EQ_WORK/jobs/gen"
        for optset in "${OPTSETS[@]}"; do
          echo "$name/$optset gen/$name.dat $optset" >>"$EQ_WORK/jobs/check"
        done
      done
    done
  done
done
gen_count="$(wc -l <"$EQ_WORK/jobs/gen")"

# How to repeat one case by hand, with the very commands the jobs run.
example=2000-pipe-s1-bad-check-digit
example_set=alles-ja
quoted() { local a out=; for a in "$@"; do out+=" $(printf '%q' "$a")"; done; echo "${out# }"; }
echo "Vorher:   $EQ_BEFORE"
echo "Nachher:  $EQ_AFTER"
echo "Erzeuger: $EQ_GEN"
echo "Ordner:   $EQ_WORK"
echo "Beispiel: der Fall $example/$example_set entsteht so (ORDNER ein leerer Ordner):"
gen_args 2000 pipe 1 bad-check-digit "$example.dat"
echo "  $(quoted "$EQ_GEN" "${GEN_ARGS[@]}")"
echo "  mkdir -p ORDNER/home/tmp ORDNER/home/registry ORDNER/run"
home_env ORDNER/home
check_args ORDNER/run "$example_set" "$example.dat"
echo "  env -i $(quoted "${BASE_ENV[@]}" "${HOME_ENV[@]}" "$EQ_BEFORE" "${CHECK_ARGS[@]}")"
echo "  (dann dasselbe mit $EQ_AFTER in einem frischen ORDNER)"
echo "Veränderte Datei K (Liste in inputs/mut/manifest) allein neu schreiben:"
echo "  $(quoted python3 "$here/mutate.py") --first K ORDNER 1 $(quoted "$EQ_WORK")/inputs/gen/*.dat"
echo "Ein Paar, in dem die Uhr eine Sekunde weiterlief (Uhrzeit im Protokoll, Datum im Kopf"
echo "von VTEXT.DBF), läuft zu Beginn einer Sekunde noch einmal, bis zu dreimal."

echo "Erzeuge $gen_count Dateien ($EQ_RECORDS Sätze, Seeds 1-$seeds) ..."
if ! tr '\n' '\0' <"$EQ_WORK/jobs/gen" | xargs -0 -P "$jobs" -n 8 "$self" --gen-jobs; then
  echo "run.sh: die Testdaten konnten nicht erzeugt werden" >&2
  exit 2
fi

if [ "$mutations" -gt 0 ]; then
  echo "Verändere $mutations Dateien ..."
  python3 "$here/mutate.py" "$EQ_WORK/inputs/mut" "$mutations" "$EQ_WORK"/inputs/gen/*.dat \
    >"$EQ_WORK/inputs/mut/manifest"
  # The default set, and one other in turn.
  others=(ohne-feldpruefung ohne-zeichenpruefung alles-ja)
  i=0
  while read -r mut _; do
    base="${mut%.dat}"
    echo "$base/default mut/$mut default" >>"$EQ_WORK/jobs/check"
    echo "$base/${others[i % 3]} mut/$mut ${others[i % 3]}" >>"$EQ_WORK/jobs/check"
    i=$((i + 1))
  done <"$EQ_WORK/inputs/mut/manifest"
fi

check_count="$(wc -l <"$EQ_WORK/jobs/check")"
echo "Prüfe $check_count Fälle mit beiden Programmen ($jobs gleichzeitig) ..."
if ! tr '\n' '\0' <"$EQ_WORK/jobs/check" | xargs -0 -P "$jobs" -n 8 \
       env -i "${BASE_ENV[@]}" "EQ_BEFORE=$EQ_BEFORE" "EQ_AFTER=$EQ_AFTER" "EQ_GEN=$EQ_GEN" \
       "EQ_WORK=$EQ_WORK" "EQ_RECORDS=$EQ_RECORDS" "$self" --check-jobs; then
  echo "run.sh: Prüf-Aufträge sind gescheitert, der Vergleich ist unvollständig" >&2
  exit 2
fi

# The differences in the order of the jobs.
differences=0
affected=0
while read -r label _; do
  report="$EQ_WORK/cases/$label/report"
  [ -f "$report" ] || continue
  cat "$report"
  n="$(grep -c '^UNTERSCHIED ' "$report" || true)"
  differences=$((differences + n))
  affected=$((affected + 1))
done <"$EQ_WORK/jobs/check"
# The folders of the cases without a difference are gone; those left hold both runs.
rmdir "$EQ_WORK"/cases/* 2>/dev/null || true
[ "$affected" -gt 0 ] && echo "Fälle mit Unterschieden ($affected) liegen in $EQ_WORK/cases"
echo "Dauer: $((SECONDS - started)) s"
echo "Äquivalenz: $check_count Prüfungen verglichen, $differences Unterschiede"
[ "$differences" -eq 0 ]
