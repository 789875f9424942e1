#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests offscreen,
# end-to-end tests in Xvfb); then builds everything again with clang's
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole suite
# once more, with the fuzz targets replaying their corpora.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh" test
"$root/tools/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"

sanitized="$root/build-sanitize"
CXX=clang++ cmake -S "$root" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DSUMIRAKU_SANITIZE=ON -DSUMIRAKU_FUZZ=ON >/dev/null
cmake --build "$sanitized" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$sanitized" --output-on-failure -j"$(nproc)"
