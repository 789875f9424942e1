#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests offscreen,
# end-to-end tests in Xvfb).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh" test
"$root/tools/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
