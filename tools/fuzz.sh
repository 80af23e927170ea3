#!/usr/bin/env bash
# Runs every built fuzz target for SECONDS seconds each. Build them first:
#   cmake --preset fuzz && cmake --build --preset fuzz
# Seeds come from fuzz/corpus/<target>/; what a run learns is kept in build/fuzz/corpus/<target>/,
# and a failing input is written to build/fuzz/<target>-crash-... .
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS}
shopt -s nullglob
targets=(build/fuzz/fuzz/*Fuzz)
if ((${#targets[@]} == 0)); then
    echo "fuzz.sh: no fuzz targets in build/fuzz/fuzz; run: cmake --preset fuzz && cmake --build --preset fuzz" >&2
    exit 1
fi
for target in "${targets[@]}"; do
    name=$(basename "$target")
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
    log=build/fuzz/$name.log
    if "$target" -max_total_time="$seconds" -max_len=8192 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/$name-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz $name: ${seconds}s, ${runs:-?} inputs, nothing found"
    else
        echo "fuzz $name: FAILED (full output in $log)"
        tail -n 40 "$log"
        exit 1
    fi
done
