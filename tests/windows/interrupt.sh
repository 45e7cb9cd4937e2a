#!/usr/bin/env bash
# interrupt.sh FILE PROGRAM ARGS...: starts PROGRAM, and as soon as FILE exists (the log
# the check opens before its first record) sends it SIGINT, as Ctrl+C in its terminal
# would; returns its exit code.
set -uo pipefail
file="$1"
shift
"$@" &
pid=$!
for ((i = 0; i < 3000; i++)); do
  [ -e "$file" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.01
done
sleep 0.05
kill -INT "$pid" 2>/dev/null
wait "$pid"
