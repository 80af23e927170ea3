#!/usr/bin/env bash
# Builds everything and runs every test: the debug build, a short run of each fuzz target,
# then the same tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs=$(nproc)
tools/check-format.sh

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

if [ -d fuzz ]; then
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$jobs"
    tools/fuzz.sh 20
fi

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

# One closing line of everything this run checked; reached only when every step above passed.
summary() {
    local dev asan fuzz=0
    dev=$(ctest --preset dev -N | sed -n 's/^Total Tests: //p')
    asan=$(ctest --preset asan -N | sed -n 's/^Total Tests: //p')
    [ -d build/fuzz/fuzz ] && fuzz=$(find build/fuzz/fuzz -maxdepth 1 -name '*Fuzz' -type f | wc -l)
    echo "test.sh: formatting checked; ${fuzz} fuzz targets ran 20 s each with no finding;" \
        "$((dev + asan)) passed, 0 failed (${dev} tests, then ${asan} under AddressSanitizer and UBSan)"
}
summary
