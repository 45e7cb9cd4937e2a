#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets, one folder per target under OUT:
#   seeds.sh OUT SOURCE-DIR ELDANORM-GEN ARTISCOPE-CHECK TEXT-STORE-SEEDS
# check_run_fuzz      ELDANORM files of every version, clean and with each fault the
#                     generator knows, the DATANORM samples and the golden inputs, each
#                     behind two control bytes
# record_reader_fuzz  generated files behind scripts of block and line reads
# text_store_fuzz     the long-text store a check wrote, stores in other programs' layouts
# profile_fuzz        the INI files of tools/fuzz/seeds/profile
set -euo pipefail
out=$1 src=$2 gen=$3 check=$4 storeSeeds=$5
rm -rf "$out"
mkdir -p "$out"/{check_run_fuzz,record_reader_fuzz,text_store_fuzz,profile_fuzz}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Control bytes of the check run, in turn: field checks, pop-ups, findings list, ASCII
# check off, and the answers; the second byte checks twice or moves the date window.
switches=(15 17 35 1d 95 f7 11 05 3f 14)
more=(00 01 00 02 01 00 03 00 01 00)
n=0
prefixed() { # FILE NAME: the file behind the next control bytes
  local i=$((n % ${#switches[@]}))
  { printf "\\x${switches[$i]}\\x${more[$i]}"; cat "$1"; } >"$out/check_run_fuzz/$2"
  n=$((n + 1))
}

mapfile -t faults < <("$gen" --list-faults | awk 'NF {print $1}')
for v in 0590 0196 2000; do
  "$gen" --version "$v" --records 12 --seed 3 "$tmp/$v-clean" >/dev/null 2>&1
  prefixed "$tmp/$v-clean" "$v-clean"
  for f in "${faults[@]}"; do
    # Not every fault fits every version.
    "$gen" --version "$v" --records 12 --seed 3 --fault "$f" "$tmp/$v-$f" >/dev/null 2>&1 || continue
    prefixed "$tmp/$v-$f" "$v-$f"
  done
done
for f in "$src"/tests/data/datanorm/*.001 "$src"/tests/data/datanorm/*.WRG; do
  [ "$(stat -c %s "$f")" -le 16000 ] && prefixed "$f" "datanorm-$(basename "$f")"
done
for d in "$src"/tests/data/golden/*/; do
  for f in "$d"input*; do prefixed "$f" "golden-$(basename "$d")"; done
done

# Record readers: one byte telling the script's length, the script, the file.
hexbytes() { printf "$(printf '\\x%s' "$@")"; }
script() { # FILE NAME TIMES MODE AMOUNT OP...: the OPs repeated after mode and amount
  local file=$1 name=$2 times=$3 mode=$4 amount=$5
  shift 5
  local ops=()
  for _ in $(seq "$times"); do ops+=("$@"); done
  local len=$((2 + ${#ops[@]}))
  { hexbytes "$(printf '%02x' "$len")" "$mode" "$amount" "${ops[@]}"; cat "$file"; } >"$out/record_reader_fuzz/$name"
}
for v in 0590 0196 2000; do
  f=$tmp/$v-clean
  script "$f" "$v-blocks" 24 00 00 01 00 82 00     # BIN_LES of 130 bytes
  script "$f" "$v-blocks-64k" 24 06 41 01 08 82 00 # ... the file starting just before 64 KiB
  script "$f" "$v-lines" 24 00 00 02 00 00 01      # STRING_LES of up to 256 characters
  script "$f" "$v-lines-128k" 24 07 11 02 08 00 01
  # seek, raw read, write, append, whole read, OEM block read
  script "$f" "$v-mixed" 8 00 00 00 20 00 00 03 00 40 00 04 03 41 42 43 05 42 0d 0a 06 03 10 00 01 01 82 00
done

# Long-text store: the check writes one for a 01/96 file with text records.
"$gen" --version 0196 --types ABDTZ --records 40 --seed 5 "$tmp/texts.0196" >/dev/null 2>&1
mkdir -p "$tmp/store"
"$check" --daten-ordner "$tmp/store" --protokoll-ordner "$tmp/store" --datum-von 01.01.2024 \
  --datum-bis 31.01.2024 --still "$tmp/texts.0196" >/dev/null || true
if [ ! -f "$tmp/store/VTEXT.DBF" ]; then
  echo "seeds.sh: the check wrote no long-text store" >&2
  exit 1
fi
cut=$'\n=CUT=\n'
{
  printf '\x00'
  cat "$tmp/store/VTEXT.DBF"; printf '%s' "$cut"
  cat "$tmp/store/VTEXT.FPT"; printf '%s' "$cut"
  cat "$tmp/store/INTEXT.CDX"; printf '%s' "$cut"
  hexbytes 00 05 31 32 33 34 58 02 00 00 05 54 65 78 74 2e 04 02 41 42 06 07 01 02 30 05 07
} >"$out/text_store_fuzz/check-0196"
"$storeSeeds" "$out/text_store_fuzz"

cp "$src"/tools/fuzz/seeds/profile/* "$out/profile_fuzz/"
echo "seeds: $(ls "$out/check_run_fuzz" | wc -l) check runs, $(ls "$out/record_reader_fuzz" | wc -l) record files," \
  "$(ls "$out/text_store_fuzz" | wc -l) long-text stores, $(ls "$out/profile_fuzz" | wc -l) INI files"
