#!/usr/bin/env bash
# The program as a Debian package: installable, declaring every package the program links or
# loads, holding everything under /usr with a valid menu entry, AppStream data, icons and manual
# page. Unpacked, the program runs the opening of the end-to-end test, finding its data beside
# itself. Run on a display of its own (scripts/with-xvfb).
# Usage: check-package.sh BUILD_DIR WORK_DIR APP_ID VERSION PROGRAM_TEST
set -euo pipefail
build=$1 work=$2 id=$3 version=$4 program_test=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$work"
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$work/deb/hiragana_${version}_$(dpkg --print-architecture).deb
[[ $(dpkg-deb -f "$deb" Package Version) == $'Package: hiragana\nVersion: '"$version" ]] || fail "no package $deb"
[[ -z $(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/') ]] || fail "it installs outside /usr"
declared=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/[[:space:]]//g')
# Loaded at run time rather than linked: the X11 platform plugin, the voice data, the keys' font.
for needed in qt6-qpa-plugins espeak-ng-data fonts-ipafont-gothic; do
    grep -qx "$needed" <<<"$declared" || fail "Depends lacks $needed"
done
apt-get install --simulate --no-install-recommends "$deb" | grep -q '^Inst hiragana ' || fail "apt cannot install it"
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/hiragana
for soname in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldd "$program" | awk -v lib="$soname" '$1 == lib {print $3}')
    for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do # merged /usr
        owner=$(dpkg-query -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1) && [[ -n $owner ]] && break
    done
    grep -qx "$owner" <<<"$declared" || fail "the program links $soname from '$owner', which Depends lacks"
done

cd "$work/root/usr/share"
icons=icons/hicolor
for file in hiragana/characters/{mic.acs,mic.svg,mic-talk.svg} doc/hiragana/copyright applications/$id.desktop \
    metainfo/$id.metainfo.xml $icons/scalable/apps/$id.svg $icons/{16,22,24,32,48,64,128,256}x*/apps/$id.png; do
    [[ -f $file ]] || fail "the package lacks $file"
done
desktop-file-validate applications/$id.desktop
entry() { grep -m1 "^$1=" applications/$id.desktop | cut -d= -f2-; }
[[ $(entry Exec) == hiragana && $(entry Icon) == "$id" && $(entry Categories) == *Utility\;*Accessibility\;* ]] ||
    fail "the menu entry does not start hiragana with its icon under Utility and Accessibility"
appstreamcli validate --no-net --strict metainfo/$id.metainfo.xml
appstreamcli validate-tree --no-net --strict "$work/root/usr"
metainfo=metainfo/$id.metainfo.xml
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" $metainfo || fail "AppStream: no launchable"
grep -m1 '<release ' $metainfo | grep -q "version=\"$version\"" || fail "AppStream: not release $version"
[[ -z $(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l man/man1/hiragana.1.gz 2>&1 >/dev/null) ]] || fail "man page warnings"
zcat man/man1/hiragana.1.gz | grep -q "^\.TH HIRAGANA 1 .*\"Hiragana $version\"" || fail "man page: not $version"
HIRAGANA_TEST_PROGRAM=$program HIRAGANA_SOAK_ACTIONS=0 "$program_test" --gtest_filter='Soak.*'
