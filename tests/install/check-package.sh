#!/usr/bin/env bash
# The program as users get it: installed into a prefix, and packed as a .deb that holds the same
# files under /usr, declares every package the program links or loads, and can be installed.
# The program unpacked from the package then runs the opening of the end-to-end test, finding
# its data beside itself. Run it on a display of its own (scripts/with-xvfb).
# Usage: check-package.sh BUILD_DIR WORK_DIR APP_ID VERSION PROGRAM_TEST
set -euo pipefail
build=$1 work=$2 app_id=$3 version=$4 program_test=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
trap 'rm -rf "$work"' EXIT

prefix=$work/prefix share=$work/prefix/share
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/hiragana share/hiragana/characters/{mic.acs,mic.svg,mic-talk.svg} share/doc/hiragana/copyright \
    "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
    "share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [[ -f $prefix/$file ]] || fail "the install lacks $file"
done
for size in 16 22 24 32 48 64 128 256; do
    file "$share/icons/hicolor/${size}x${size}/apps/$app_id.png" | grep -q "PNG image data, $size x $size," ||
        fail "no ${size}x${size} icon"
done
desktop=$share/applications/$app_id.desktop
desktop-file-validate "$desktop"
entry() { grep -m1 "^$1=" "$desktop" | cut -d= -f2-; }
[[ $(entry Exec) == hiragana && $(entry Icon) == "$app_id" && $(entry Categories) == *Utility\;*Accessibility\;* ]] ||
    fail "the menu entry does not start hiragana with its icon under Utility and Accessibility"
metainfo=$share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net --strict "$metainfo"
appstreamcli validate-tree --no-net --strict "$prefix"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "AppStream launches nothing"
[[ $(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2) == "$version" ]] ||
    fail "the newest release in the AppStream data is not $version"
man_page=$share/man/man1/hiragana.1.gz
[[ -z $(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man_page" 2>&1 >/dev/null) ]] ||
    fail "the manual page renders with warnings"
zcat "$man_page" | grep -q "^\.TH HIRAGANA 1 .*\"Hiragana $version\"" || fail "the manual page is not of $version"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$work/deb/hiragana_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $deb"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == hiragana && $(field Version) == "$version" && -n $(field Maintainer) ]] ||
    fail "the package's fields: $(dpkg-deb -I "$deb")"
diff <(cd "$prefix" && find . -type f | sort) \
    <(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ {print $6}' | sed 's|^\./usr/|./|' | sort) ||
    fail "the package does not hold, under /usr, what the install put under its prefix"
declared=$(field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/[[:space:]]//g')
declares() { grep -qx "$1" <<<"$declared"; }
# Loaded at run time rather than linked: the X11 platform plugin, the voice data, the keys' font.
for needed in qt6-qpa-plugins espeak-ng-data fonts-ipafont-gothic; do
    declares "$needed" || fail "Depends lacks $needed"
done
apt-get install --simulate --no-install-recommends "$deb" | grep -q '^Inst hiragana ' || fail "apt cannot install it"

root=$work/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/hiragana
for soname in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldd "$program" | awk -v lib="$soname" '$1 == lib {print $3}')
    owner=""
    for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do # merged /usr
        owner=$(dpkg-query -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1) && [[ -n $owner ]] && break
    done
    declares "$owner" || fail "the program links $soname from '$owner', which Depends lacks"
done
HIRAGANA_TEST_PROGRAM=$program HIRAGANA_SOAK_ACTIONS=0 "$program_test"
