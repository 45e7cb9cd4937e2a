#!/bin/sh
# Browser tests of the web page in the system's Chromium (/usr/bin/chromium), against the
# native checker on the same generated files. Needs Node 20, python3 and both builds (the
# Emscripten one in build-web/, the native one in build/). From the repository's root:
#
#   tests/web/run.sh [PAGE_DIR [CHECKER [GENERATOR]]]
#
# defaults: build-web/page, build/bin/artiscope-check, build/bin/eldanorm-gen (or ARTI_PAGE,
# ARTI_CHECKER, ARTI_GEN). Exits non-zero when a test fails. ARTI_SCREENSHOTS=DIR saves
# screenshots of the page's states, ARTI_TESTS="check ui memory" picks test files, ARTI_SERVE
# names the static server (default web/serve.py), ARTI_KEEP=1 keeps the work folder.
#
# The benchmark (sizes of about 100 MB per version, or one 1 GB file; ARTI_RUNS=N, best of 3):
#
#   tests/web/run.sh --bench [MB | 1gb] [PAGE_DIR [CHECKER [GENERATOR]]]
#
# Installs playwright-core (no browser download) with `npm ci` when it is missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

bench=
if [ "${1:-}" = --bench ]; then
    shift
    case "${1:-}" in
        [0-9]* | 1gb | 1GB) bench=$1; shift ;;
        *) bench=100 ;;
    esac
fi
abs() { (cd "$(dirname "$1")" && echo "$(pwd)/$(basename "$1")"); }
ARTI_PAGE=$(abs "${1:-${ARTI_PAGE:-$root/build-web/page}}")
ARTI_CHECKER=$(abs "${2:-${ARTI_CHECKER:-$root/build/bin/artiscope-check}}")
ARTI_GEN=$(abs "${3:-${ARTI_GEN:-$root/build/bin/eldanorm-gen}}")
ARTI_SERVE=${ARTI_SERVE:-$root/web/serve.py}
for f in "$ARTI_PAGE/index.html" "$ARTI_PAGE/artiscope.wasm" "$ARTI_CHECKER" "$ARTI_GEN" "$ARTI_SERVE"; do
    [ -e "$f" ] || { echo "run.sh: $f fehlt" >&2; exit 2; }
done

if [ ! -d "$here/node_modules/playwright-core" ] || [ "$here/package-lock.json" -nt "$here/node_modules/.package-lock.json" ]; then
    (cd "$here" && npm ci --ignore-scripts --no-audit --no-fund)
fi

# The test files, the native checker's logs and its settings live in one work folder.
ARTI_WORK=$(mktemp -d "${TMPDIR:-/tmp}/artiscope-web.XXXXXX")
if [ "${ARTI_KEEP:-}" != 1 ]; then
    trap 'rm -rf "$ARTI_WORK"' EXIT
    trap 'exit 130' INT TERM
fi
mkdir -p "$ARTI_WORK/registry" "$ARTI_WORK/config"
ARTISCOPE_REGISTRY_DIR=$ARTI_WORK/registry
XDG_CONFIG_HOME=$ARTI_WORK/config
export ARTI_PAGE ARTI_CHECKER ARTI_GEN ARTI_SERVE ARTI_WORK ARTISCOPE_REGISTRY_DIR XDG_CONFIG_HOME

if [ -n "$bench" ]; then
    node "$here/bench.mjs" "$bench"
else
    set -- "$here"/*.test.mjs
    if [ -n "${ARTI_TESTS:-}" ]; then
        set --
        for t in $ARTI_TESTS; do set -- "$@" "$here/$t.test.mjs"; done
    fi
    node --test --test-concurrency=1 --test-timeout=900000 "$@"
fi
