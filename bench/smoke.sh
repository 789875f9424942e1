#!/usr/bin/env bash
# Runs each benchmark once, briefly, on the largest files, so that a change
# that breaks one shows in the tests. Times are not looked at.
# Usage: smoke.sh BENCH_DIR DATA_DIR
set -euo pipefail
bench=$1 data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$(dirname "$0")/make_largest.py" "$data" "$work" >/dev/null
export QT_QPA_PLATFORM=offscreen
"$bench/bench_bare_window" >/dev/null
"$bench/bench_startup" "$work" >/dev/null
"$bench/bench_game" "$work" 20 >/dev/null
"$bench/bench_grid" held >/dev/null
