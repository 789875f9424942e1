#!/usr/bin/env bash
# Installs what is missing, builds the program and its benchmarks (Release) into
# build-bench/, and runs every benchmark offscreen and under Xvfb: start-up
# against a bare Qt window, the game's waits, idle CPU and peak memory, on the
# bundled data files and on the largest ones the formats allow. Prints one
# Markdown table. Usage: tools/bench.sh [--quick]   (build dir: $BENCH_BUILD_DIR)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
"$root/tools/deps.sh" bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" \
    --target sumiraku bench_bare_window bench_startup bench_game bench_grid >/dev/null
python3 "$root/bench/run.py" "$build" "$root/data" "$@"
