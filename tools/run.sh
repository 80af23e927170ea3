#!/usr/bin/env bash
# Builds the programs and runs them on the sample wallet that the build writes ("My Sample
# Wallet.tm5", password: tallowmere): the desktop program when there is a display, else a tmpro
# demonstration of what the wallet holds. With arguments it runs tmpro with them.
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
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting halvotmpro2006 on \"$sample\" (password: tallowmere)"
    exec build/release/halvotmpro2006 "$sample"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): showing the wallet with tmpro instead."
echo
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
