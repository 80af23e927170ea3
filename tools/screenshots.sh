#!/usr/bin/env bash
# Renders every window and dialog of the desktop program to PNG files, without a display: both
# device kinds, English and German, at 100 % and 200 % scale, into
#   build/screenshots/scale-<1|2>/<pocketpc|smartphone>-<0409|0407>/<screen>.png
# and the sheets of every icon at 16 and 32 pixels into build/screenshots/icons/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j2 --target tw_screenshots tw_icon_sheet >/dev/null
out=build/screenshots
rm -rf "$out"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
for scale in 1 2; do
    QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale XDG_CONFIG_HOME="$PWD/build/screenshots-config" XDG_RUNTIME_DIR="$runtime" LC_ALL=C \
        build/dev/tw_screenshots "$out/scale-$scale" \
        build/dev/halvotmpro2006.exe.0409.mui build/dev/halvotmpro2006.exe.0407.mui \
        2> >(grep -v 'does not support propagateSizeHints' >&2)
done
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" build/dev/resources/icons/tw_icon_sheet "$out/icons" >/dev/null
echo "screenshots: $(find "$out" -name '*.png' | wc -l) files in $out"
