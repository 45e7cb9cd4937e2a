#!/usr/bin/env bash
# Instructions per byte of the command-line check, counted by valgrind (callgrind,
# without cache simulation), for generated files of each version. The count does not
# depend on the machine's load, so two builds can be compared at any time:
#   tools/bench/instructions.sh GENERATOR CHECKER [CHECKER ...] [--mb N] [--faults]
# Valid files of about N MB (default 10) per version, checked with the field check and
# the character check on; prints one line per version and checker (instructions, bytes,
# instructions per byte) and, per version, whether the last checker stays within the
# goal of 20 instructions per byte. With --faults, files of 20,000 records with each fault
# the generator knows (both separators of version 2000) are counted as well, and every
# checker after the first is compared with the first: a faulty file may not cost more
# per byte than with the first.
set -euo pipefail
export LC_ALL=C

readonly GOAL=20
gen="$(realpath "$1")"
shift
checkers=()
mb=10
faults=false
while [ $# -gt 0 ]; do
    case "$1" in
    --mb) mb="$2"; shift 2 ;;
    --faults) faults=true; shift ;;
    *) checkers+=("$(realpath "$1")"); shift ;;
    esac
done
[ ${#checkers[@]} -gt 0 ] || { echo "usage: $0 GENERATOR CHECKER [CHECKER ...] [--mb N] [--faults]" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Instructions of one check of FILE by CHECKER, in a fresh folder and home.
count() { # checker file -> instructions
    local out="$work/out"
    rm -rf "$out" "$work/cg.out" && mkdir -p "$out"
    (cd "$out" && HOME="$out" valgrind --tool=callgrind --cache-sim=no --callgrind-out-file="$work/cg.out" \
        "$1" --still --ohne-fortschritt --datum-von 01.01.2024 --datum-bis 31.01.2024 \
        --waehrung EUR --land DE -o "$out" "$2" >/dev/null 2>"$work/vg.err") || true
    [ -s "$work/cg.out" ] || { echo "$1: keine Zählung" >&2; cat "$work/vg.err" >&2; exit 1; }
    grep -m1 '^summary:' "$work/cg.out" | awk '{print $2}'
}

per_byte() { printf '%.1f' "$(echo "$1 / $2" | bc -l)"; }

# The records that make a file of about $mb MB: measured on a small file of the version.
records_for() { # version -> records
    "$gen" --version "$1" --records 2000 --seed 7 "$work/probe.dat" >/dev/null 2>&1
    local bytes
    bytes=$(stat -c %s "$work/probe.dat")
    echo $((mb * 1000000 * 2000 / bytes))
}

printf '%-7s %-44s %15s %12s %8s\n' Version Prüfprogramm Instruktionen Byte "I/Byte"
for v in 0196 0590 2000; do
    file="$work/valid_$v.dat"
    "$gen" --version "$v" --records "$(records_for "$v")" --seed 7 "$file" >/dev/null 2>&1
    bytes=$(stat -c %s "$file")
    last=
    for c in "${checkers[@]}"; do
        ir=$(count "$c" "$file")
        last=$(per_byte "$ir" "$bytes")
        printf '%-7s %-44s %15s %12s %8s\n' "$v" "$c" "$ir" "$bytes" "$last"
    done
    verdict="erreicht"
    [ "$(echo "$last > $GOAL" | bc -l)" = 1 ] && verdict="NICHT erreicht"
    echo "        Ziel höchstens $GOAL I/Byte: $verdict ($last)"
    rm -f "$file"
done

$faults || exit 0
[ ${#checkers[@]} -ge 2 ] || { echo "--faults vergleicht mit dem ersten Prüfprogramm: zwei nötig" >&2; exit 2; }
echo
echo "Fehlerhafte Dateien (20.000 Sätze), I/Byte je Prüfprogramm:"
worse=0
while read -r fault versions; do
    for v in $(echo "$versions" | tr -d '(),'); do
        seps=(";")
        [ "$v" = 2000 ] && seps=(";" "|")
        for sep in "${seps[@]}"; do
            file="$work/fault.dat"
            args=(--version "$v" --records 20000 --seed 7 --fault "$fault")
            [ "$v" = 2000 ] && args+=(--separator "$sep")
            "$gen" "${args[@]}" "$file" >/dev/null 2>&1
            bytes=$(stat -c %s "$file")
            line=$(printf '%-7s %-24s %-2s' "$v" "$fault" "$([ "$v" = 2000 ] && echo "$sep")")
            first=
            for c in "${checkers[@]}"; do
                pb=$(per_byte "$(count "$c" "$file")" "$bytes")
                line+=$(printf ' %8s' "$pb")
                if [ -z "$first" ]; then
                    first=$pb
                elif [ "$(echo "$pb > $first" | bc -l)" = 1 ]; then
                    line+=" (teurer)"
                    worse=$((worse + 1))
                fi
            done
            echo "$line"
        done
    done
done < <("$gen" --list-faults | awk '{ v = $0; sub(/^[^(]*/, "", v); sub(/\).*/, ")", v); print $1, v }')
echo "Fehlerhafte Dateien, die mehr kosten als mit dem ersten Prüfprogramm: $worse"
[ "$worse" = 0 ]
