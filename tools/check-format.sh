#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the committed .clang-format style.
# Fix with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror 2>"$log"; then
    head -n 40 "$log"
    echo "check-format: files differ from .clang-format (fix: git ls-files '*.cpp' '*.h' | xargs clang-format -i)" >&2
    exit 1
fi
echo "check-format: every C++ file follows .clang-format"
