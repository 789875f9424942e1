#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each one, or
# those named, for a while. New inputs go to a scratch corpus in the build
# directory unless --keep is given; failing inputs land in <build>/fuzz-artifacts.
#
#   tools/fuzz.sh [-t seconds] [-b build-dir] [--keep] [target ...]
#   targets: cp932_decode cp932_encode fieldreader settings dictionary history chm
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
build=$root/build-fuzz
keep=0
while [[ $# -gt 0 ]]; do
    case $1 in
        -t) seconds=$2; shift 2 ;;
        -b) build=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        -h|--help) sed -n '2,8p' "$0"; exit 0 ;;
        *) break ;;
    esac
done
targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for corpus in "$root"/tests/fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi

CXX=${CXX:-clang++} cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSUMIRAKU_SANITIZE=ON -DSUMIRAKU_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

summary=()
for t in "${targets[@]}"; do
    # Room for a few records or a page of text; longer inputs only slow it down.
    case $t in
        settings) max_len=512 ;;
        dictionary|history) max_len=8192 ;;
        chm) max_len=16384 ;;
        *) max_len=4096 ;;
    esac
    extra=()
    case $t in
        fieldreader|settings|dictionary|history) extra+=(-dict="$root/tests/fuzz/dict/fields.dict") ;;
    esac
    committed=$root/tests/fuzz/corpus/$t
    scratch=$build/fuzz-corpus/$t
    mkdir -p "$scratch" "$build/fuzz-artifacts"
    if [[ $keep -eq 1 ]]; then dirs=("$committed"); else dirs=("$scratch" "$committed"); fi
    log=$build/fuzz-$t.log
    echo "== $t: ${seconds}s, log $log"
    status=0
    "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$t-" "${extra[@]}" "${dirs[@]}" \
        >"$log" 2>&1 || status=$?
    done_line=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    summary+=("$(printf '%-13s exit %-3s runs %-10s %s' "$t" "$status" "${execs:-?}" \
        "$(grep -oE '(cov|ft|corp|exec/s): [^ ]+' <<<"$done_line" | tr '\n' ' ')")")
    [[ $status -eq 0 ]] || tail -n 30 "$log"
done
printf '%s\n' "${summary[@]}"
