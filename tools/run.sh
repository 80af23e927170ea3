#!/usr/bin/env bash
# Builds the tools and runs tmpro. With no arguments it opens the sample wallet that the build
# writes ("My Sample Wallet.tm5", password: tallowmere) and shows what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
if [ $# -gt 0 ]; then
    exec build/release/tmpro "$@"
fi
tmpro=build/release/tmpro
sample="build/release/samples/My Sample Wallet.tm5"
echo "\$ tmpro info \"$sample\""
"$tmpro" info "$sample"
echo
echo "\$ echo tallowmere | tmpro tree \"$sample\""
echo tallowmere | "$tmpro" tree "$sample"
echo
echo "\$ echo tallowmere | tmpro show \"$sample\" \"Banking/Everyday Visa\""
echo tallowmere | "$tmpro" show "$sample" "Banking/Everyday Visa"
echo
echo "Try: tmpro --help, or tmpro find \"$sample\" alex (password: tallowmere)"
