#!/usr/bin/env bash
# Instructions per byte of the command-line check, counted by valgrind (callgrind), for
# generated valid files of each version. The count does not depend on the machine's load,
# so two builds can be compared at any time:
#   tools/bench/instructions.sh GENERATOR CHECKER [CHECKER ...] [--records N]
# Prints one line per version and checker: instructions, bytes, instructions per byte.
set -euo pipefail

gen="$(realpath "$1")"
shift
checkers=()
records=20000
while [ $# -gt 0 ]; do
    case "$1" in
    --records) records="$2"; shift 2 ;;
    *) checkers+=("$(realpath "$1")"); shift ;;
    esac
done
[ ${#checkers[@]} -gt 0 ] || { echo "usage: $0 GENERATOR CHECKER [CHECKER ...] [--records N]" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

printf '%-7s %-50s %15s %12s %8s\n' Version Prüfprogramm Instruktionen Byte "I/Byte"
for v in 0196 0590 2000; do
    file="$work/valid_$v.dat"
    "$gen" --version "$v" --records "$records" --seed 7 "$file" >/dev/null 2>&1
    bytes=$(stat -c %s "$file")
    for c in "${checkers[@]}"; do
        out="$work/out"
        rm -rf "$out" "$work/cg.out" && mkdir -p "$out"
        (cd "$out" && HOME="$out" valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
            "$c" --still --ohne-fortschritt --datum-von 01.01.2024 --datum-bis 31.01.2024 \
            --waehrung EUR --land DE -o "$out" "$file" >/dev/null 2>"$work/vg.err") || true
        [ -s "$work/cg.out" ] || { echo "$c: keine Zählung (siehe $work/vg.err)" >&2; cat "$work/vg.err" >&2; exit 1; }
        ir=$(grep -m1 '^summary:' "$work/cg.out" | awk '{print $2}')
        printf '%-7s %-50s %15s %12s %8.1f\n' "$v" "$c" "$ir" "$bytes" \
            "$(echo "$ir / $bytes" | bc -l)"
    done
done
