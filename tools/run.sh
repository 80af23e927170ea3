#!/usr/bin/env bash
# Builds the tools and runs tmpro; with no arguments it shows what tmpro can do.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
if [ $# -eq 0 ]; then
    exec build/release/tmpro --help
fi
exec build/release/tmpro "$@"
