#!/usr/bin/env bash
# Wall time of the command-line check against `wc -l` on the same file: for each version a
# generated valid file of about N MB (default 130), checked with the field check and the
# character check on, in R paired runs (default 9): each pair runs `wc -l` and the check
# one right after the other, so that both meet the machine in the same state. The file is
# read once before the pairs, so both find it in the page cache.
#   tools/bench/wall.sh GENERATOR CHECKER [--mb N] [--runs R]
# Prints per version the medians of both times and of the ratio check / wc, and whether the
# ratio stays within the goal of 10.
set -euo pipefail
export LC_ALL=C

readonly GOAL=10
gen="$(realpath "$1")"
checker="$(realpath "$2")"
shift 2
mb=130
runs=9
while [ $# -gt 0 ]; do
    case "$1" in
    --mb) mb="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    *) echo "usage: $0 GENERATOR CHECKER [--mb N] [--runs R]" >&2; exit 2 ;;
    esac
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

seconds() { # command... -> wall seconds
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l
}
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

printf '%-7s %8s %10s %10s %10s  %s\n' Version MB "wc -l [s]" "Prüfung [s]" "Verhältnis" "Ziel <= $GOAL"
for v in 0196 0590 2000; do
    file="$work/valid_$v.dat"
    "$gen" --version "$v" --records 2000 --seed 7 "$work/probe.dat" >/dev/null 2>&1
    records=$((mb * 1000000 * 2000 / $(stat -c %s "$work/probe.dat")))
    "$gen" --version "$v" --records "$records" --seed 7 "$file" >/dev/null 2>&1
    cat "$file" >/dev/null
    out="$work/out"
    : >"$work/wc" && : >"$work/check" && : >"$work/ratio"
    for ((r = 0; r < runs; r++)); do
        rm -rf "$out" && mkdir -p "$out"
        w=$(seconds wc -l "$file")
        c=$(seconds env HOME="$out" "$checker" --still --ohne-fortschritt --datum-von 01.01.2024 \
            --datum-bis 31.01.2024 --waehrung EUR --land DE -o "$out" "$file")
        echo "$w" >>"$work/wc"
        echo "$c" >>"$work/check"
        echo "$c / $w" | bc -l >>"$work/ratio"
    done
    ratio=$(median <"$work/ratio")
    verdict="erreicht"
    [ "$(echo "$ratio > $GOAL" | bc -l)" = 1 ] && verdict="NICHT erreicht"
    printf '%-7s %8.0f %10.3f %10.3f %10.1f  %s\n' "$v" "$(echo "$(stat -c %s "$file") / 1000000" | bc -l)" \
        "$(median <"$work/wc")" "$(median <"$work/check")" "$ratio" "$verdict"
    rm -f "$file"
done
