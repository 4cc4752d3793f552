#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, clang) and runs each for a given time.
#
#   bash scripts/fuzz.sh [--runs N] [SECONDS] [TARGET...]
#
# SECONDS per target (default 5); --runs stops a target after N inputs if that comes first.
# TARGET names a fuzz/<TARGET>.cpp (default: every one). Each target starts from its checked-in
# seeds (fuzz/corpus/<target>/) and the corpus earlier runs grew (build/fuzz/corpus/<target>/).
# A crash, a broken property, a leak or an input running over 10 s is a finding: the input is
# saved under build/fuzz/findings/<target>/ and the script exits 1.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

runs=-1
if [ "${1:-}" = "--runs" ]; then
    runs="$2"
    shift 2
fi
seconds="${1:-5}"
[ $# -gt 0 ] && shift

build="$repo/build/fuzz"
cmake --preset fuzz >/dev/null
if ! cmake --build --preset fuzz -j "$(nproc)" >"$build/build.log" 2>&1; then
    cat "$build/build.log"
    exit 1
fi
if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    options=(-max_total_time="$seconds" -runs="$runs" -timeout=10 -print_final_stats=1
             -artifact_prefix="$findings/")
    [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
    seeds=()
    [ -d "fuzz/corpus/$target" ] && seeds+=("fuzz/corpus/$target")
    if "$build/fuzz/$target" "${options[@]}" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        inputs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        elapsed="$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")"
        echo "fuzz: $target: ${inputs:-?} inputs in ${elapsed:-?} s, corpus $(ls "$corpus" | wc -l) inputs, no finding"
    else
        echo "fuzz: $target: FINDING (log $log, input in $findings/)"
        grep -m 5 -E 'property broken|ERROR: |SUMMARY' "$log" || true
        status=1
    fi
done
exit "$status"
