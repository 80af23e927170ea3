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
