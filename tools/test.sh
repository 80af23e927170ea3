#!/usr/bin/env bash
# Builds everything and runs every test: the debug build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
jobs=$(nproc)

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

if [ -d fuzz ]; then
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$jobs"
    tools/fuzz.sh 20
fi
