#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a temporary root and checks
# what a user's desktop gets from it: the installed files, a valid menu entry, and the file types
# found by their first bytes (files without extension) through xdg-mime and through Qt.
# Usage: PackageTest.sh BUILD_DIR CPACK MIME_CHECK
set -euo pipefail
build=$1
cpack=$2
mimecheck=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/*.deb)
dpkg-deb --field "$deb" Package Depends
for d in shared-mime-info qt6-qpa-plugins libqt6widgets6; do
    dpkg-deb --field "$deb" Depends | grep -q "$d" || fail "Depends lacks $d"
done
root=$work/root
dpkg-deb -x "$deb" "$root"

for f in usr/bin/halvotmpro2006 usr/bin/tmpro usr/bin/tallowmere-setup \
         usr/lib/tallowmere-pro/halvotmpro2006 usr/lib/tallowmere-pro/tmpro usr/lib/tallowmere-pro/tallowmere-setup \
         usr/lib/tallowmere-pro/libTallowmerePro2006_MobileSetup.so usr/lib/tallowmere-pro/libtmpro-clip.so \
         usr/lib/tallowmere-pro/halvotmpro2006.exe.0409.mui usr/lib/tallowmere-pro/halvotmpro2006.exe.0407.mui \
         usr/share/applications/com.halvorsgarden.TallowmerePro.desktop \
         usr/share/mime/packages/com.halvorsgarden.TallowmerePro.xml \
         usr/share/icons/hicolor/48x48/apps/com.halvorsgarden.TallowmerePro.png \
         usr/share/icons/hicolor/256x256/mimetypes/application-x-tallowmere-wallet.png \
         "usr/share/tallowmere-pro/samples/My Sample Wallet.tm5" "usr/share/tallowmere-pro/samples/Form Sample.tmx" \
         "usr/share/tallowmere-pro/samples/Import Sample.txt" usr/share/man/man1/tmpro.1; do
    [ -e "$root/$f" ] || fail "missing $f"
done

desktop-file-validate "$root/usr/share/applications/com.halvorsgarden.TallowmerePro.desktop" || fail "desktop file"

# The file types, told by content: copies without their extensions, and an older wallet's header.
update-mime-database "$root/usr/share/mime" >/dev/null 2>&1
samples=$root/usr/share/tallowmere-pro/samples
cp "$samples/My Sample Wallet.tm5" "$work/wallet"
cp "$samples/Form Sample.tmx" "$work/form"
printf 'Halvorsgarden\256 Tallowmere\256 File\r\nhttp://www.halvorsgarden.com/\r\n' >"$work/older"
truncate -s 76 "$work/older"
printf '\x67\x19\x16\xb8' >>"$work/older"
truncate -s 844 "$work/older"
expected="application/x-tallowmere-wallet application/x-tallowmere-form application/x-tallowmere-old-wallet"
export XDG_DATA_DIRS=$root/usr/share XDG_DATA_HOME=$work/no-user-data
got=""
for f in wallet form older; do got="$got $(xdg-mime query filetype "$work/$f")"; done
[ "${got# }" = "$expected" ] || fail "xdg-mime gave:$got"
got=$(QT_QPA_PLATFORM=offscreen "$mimecheck" "$work/wallet" "$work/form" "$work/older" | tr '\n' ' ')
[ "${got% }" = "$expected" ] || fail "QMimeDatabase gave: $got"
unset XDG_DATA_DIRS XDG_DATA_HOME

# The installed programs find their language files and the samples through the links.
echo tallowmere | "$root/usr/bin/tmpro" info "$samples/My Sample Wallet.tm5" >/dev/null || fail "installed tmpro"
# tmpro clip finds its clipboard module beside the program (and then finds no display here).
clip=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/tmpro" clip "$samples/My Sample Wallet.tm5" x \
       </dev/null 2>&1 || true)
grep -q "no display" <<<"$clip" || fail "installed tmpro clip: $clip"
home=$work/home
mkdir -p "$home"
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home LANG=de_DE.UTF-8 \
    "$root/usr/bin/tallowmere-setup" install --yes </dev/null >/dev/null || fail "installed tallowmere-setup"
[ -f "$home/Documents/Tallowmere Samples/Mein Beispielwallet.tm5" ] || fail "samples not given to the user"
echo "package: $(basename "$deb") checked"
