#!/usr/bin/env bash
# The Windows checker under wine64 against the native one: for each version a generated
# valid file of about N MB (default 130), checked by both in R paired runs (default 5)
# with the same options. Prints per version the medians of both times and of the ratio
# wine / native (no goal: wine's own cost is part of it).
#   tools/bench/windows.sh GENERATOR NATIVE_CHECKER BUILD_WIN [--mb N] [--runs R]
set -euo pipefail
export LC_ALL=C
here="$(cd "$(dirname "$0")" && pwd)"
gen="$(realpath "$1")"
native="$(realpath "$2")"
build="$(realpath "$3")"
shift 3
mb=130
runs=5
while [ $# -gt 0 ]; do
    case "$1" in
    --mb) mb="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    *) echo "usage: $0 GENERATOR NATIVE_CHECKER BUILD_WIN [--mb N] [--runs R]" >&2; exit 2 ;;
    esac
done
source "$here/../win/wine.sh"
arti_wine_prefix "$build"
wine="$(arti_wine_wrapper "$build" artiscope-check)"

work="$(mktemp -d)"
trap 'rm -rf "$work"; arti_wine_stop' EXIT

seconds() { # command... -> wall seconds
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s.%N)
    echo "$t1 - $t0" | bc -l
}
median() { sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
check() { # checker file folder
    env ARTISCOPE_REGISTRY_DIR="$3/reg" "$1" --still --ohne-fortschritt --datum-von 01.01.2024 \
        --datum-bis 31.01.2024 --waehrung EUR --land DE -o "$3" "$2"
}

printf '%-7s %6s %11s %11s %14s\n' Version MB "nativ [s]" "wine [s]" "wine / nativ"
for v in 0196 0590 2000; do
    file="$work/valid_$v.dat"
    "$gen" --version "$v" --records 2000 --seed 7 "$work/probe.dat" >/dev/null 2>&1
    records=$((mb * 1000000 * 2000 / $(stat -c %s "$work/probe.dat")))
    "$gen" --version "$v" --records "$records" --seed 7 "$file" >/dev/null 2>&1
    cat "$file" >/dev/null
    : >"$work/native" && : >"$work/wine" && : >"$work/ratio"
    for ((r = 0; r < runs; r++)); do
        rm -rf "$work/out" && mkdir -p "$work/out"
        n=$(seconds check "$native" "$file" "$work/out")
        rm -rf "$work/out" && mkdir -p "$work/out"
        w=$(seconds check "$wine" "$file" "$work/out")
        echo "$n" >>"$work/native"
        echo "$w" >>"$work/wine"
        echo "$w / $n" | bc -l >>"$work/ratio"
    done
    printf '%-7s %6.0f %11.3f %11.3f %14.2f\n' "$v" "$(echo "$(stat -c %s "$file") / 1000000" | bc -l)" \
        "$(median <"$work/native")" "$(median <"$work/wine")" "$(median <"$work/ratio")"
    rm -f "$file"
done
