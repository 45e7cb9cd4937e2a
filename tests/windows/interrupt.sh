#!/usr/bin/env bash
# interrupt.sh SECONDS PROGRAM ARGS...: starts PROGRAM, sends it SIGINT (as Ctrl+C in
# its terminal would) after SECONDS and returns its exit code.
set -uo pipefail
wait_s="$1"
shift
"$@" &
pid=$!
sleep "$wait_s"
kill -INT "$pid" 2>/dev/null
wait "$pid"
