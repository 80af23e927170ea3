#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, when they are missing.
set -euo pipefail
# The desktop program's tests need Xvfb, xauth (for xvfb-run), xdotool, xclip (to read the
# clipboard) and a font; the package test needs dpkg-dev (dpkg-shlibdeps), desktop-file-utils,
# shared-mime-info and xdg-utils (with libfile-mimeinfo-perl, which xdg-mime asks outside a
# desktop session).
packages=(build-essential cmake ninja-build pkg-config git clang-format libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev qt6-base-dev
    qt6-svg-dev libcli11-dev xvfb xauth xdotool xclip fonts-dejavu-core
    desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
