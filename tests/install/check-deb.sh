#!/usr/bin/env bash
# Checks the Debian package: its fields, that it declares every package the program links and
# loads, and that it holds everything a desktop needs, all under /usr.
# Usage: check-deb.sh OUT_DIR APP_ID VERSION
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
out=$1 app_id=$2 version=$3
debs=("$out"/hiragana_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one hiragana_*.deb in $out"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[[ $(basename "$deb") == "hiragana_${version}_$arch.deb" ]] || fail "unexpected file name $(basename "$deb")"

dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == hiragana ]] || fail "package name $(field Package)"
[[ $(field Version) == "$version" ]] || fail "version $(field Version)"
[[ $(field Architecture) == "$arch" ]] || fail "architecture $(field Architecture)"
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "no maintainer or description"

# Package names in Depends, without versions or alternatives.
declared=$(field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/[[:space:]]//g' | sort -u)
declares() { grep -qx "$1" <<<"$declared"; }

# What the program loads at run time rather than links: the X11 platform plugin, the voice
# data and the font of the keys.
for needed in qt6-qpa-plugins espeak-ng-data fonts-ipafont-gothic; do
    declares "$needed" || fail "Depends lacks $needed"
done

# The natural voice is recommended, not required: the keyboard speaks with espeak-ng without it.
recommended=$(field Recommends | tr ',' '\n' | sed 's/[[:space:]]//g')
for voice in open-jtalk open-jtalk-mecab-naist-jdic hts-voice-nitech-jp-atr503-m001; do
    grep -qx "$voice" <<<"$recommended" || fail "Recommends lacks $voice"
done

# apt can resolve every declared dependency here (a simulation: nothing is installed).
apt-get install --simulate --no-install-recommends "$(realpath "$deb")" | grep -q '^Inst hiragana ' ||
    fail "apt cannot install the package: $(apt-get install --simulate "$(realpath "$deb")" 2>&1 | tail -n 5)"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
echo "$contents"
holds() { grep -qx "./usr/$1" <<<"$contents" || fail "the package lacks /usr/$1"; }
holds bin/hiragana
holds "share/applications/$app_id.desktop"
holds "share/metainfo/$app_id.metainfo.xml"
holds "share/icons/hicolor/scalable/apps/$app_id.svg"
for size in 16 22 24 32 48 64 128 256; do
    holds "share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
holds share/man/man1/hiragana.1.gz
holds share/doc/hiragana/copyright
holds share/hiragana/characters/mic.acs
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$contents" || true)
[[ -z $outside ]] || fail "the package installs outside /usr: $outside"

# Every library the program links must come from a declared package.
unpacked=$(mktemp -d "$out/unpacked.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
program=$unpacked/usr/bin/hiragana
linked=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[[ -n $linked ]] || fail "readelf finds no libraries in $program"
while read -r soname path; do
    [[ -n $path && -e $path ]] || fail "$soname, linked by the program, is not on this machine"
    owner=$(package_owning "$path") || fail "no package owns $path"
    declares "$owner" || fail "the program links $soname from $owner, which Depends lacks"
    echo "$soname comes from $owner (declared)"
done < <(
    for soname in $linked; do
        echo "$soname $(ldd "$program" | awk -v lib="$soname" '$1 == lib {print $3}')"
    done)
echo "the package is complete and declares what the program needs"
