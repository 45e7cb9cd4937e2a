#!/usr/bin/env bash
# Runs one fuzz target on its seeds for $ARTI_FUZZ_SECONDS (default 30) and fails on any
# finding: a crash, a leak, a sanitizer report, an input slower than 20 s, running out
# of memory.
#   fuzz-one.sh TARGET WORK-FOLDER MAX-LEN SEED-FOLDER...
# New inputs go to a fresh corpus under WORK-FOLDER/corpus, or, with $ARTI_FUZZ_CORPUS
# set, to that folder's TARGET subfolder, which is kept for the next run. Findings are
# saved in WORK-FOLDER/findings.
set -euo pipefail
target=$1 work=$2 maxlen=$3
shift 3
name=$(basename "$target")
seconds=${ARTI_FUZZ_SECONDS:-30}
if [ -n "${ARTI_FUZZ_CORPUS:-}" ]; then
  corpus=$ARTI_FUZZ_CORPUS/$name
else
  corpus=$work/corpus/$name
  rm -rf "$corpus"
fi
mkdir -p "$corpus" "$work/findings" "$work/logs"
log=$work/logs/$name.log
# The target's scratch files, in memory when the system has room for them; removed even
# when the target dies of a finding.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=$(mktemp -d -p /dev/shm); else scratch=$(mktemp -d); fi
trap 'rm -rf "$scratch"' EXIT
export ARTI_FUZZ_TMP=$scratch
rc=0
ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-}:print_stacktrace=1:halt_on_error=1 \
  "$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len="$maxlen" \
  -print_final_stats=1 -artifact_prefix="$work/findings/$name-" "$corpus" "$@" >"$log" 2>&1 || rc=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
if [ "$rc" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|FUZZ FINDING' "$log"; then
  tail -n 80 "$log"
  echo "$name: FINDING after ${runs:-?} runs (exit $rc); input saved in $work/findings, log in $log"
  exit 1
fi
echo "$name: ${runs:-?} runs in $seconds s, no findings"
