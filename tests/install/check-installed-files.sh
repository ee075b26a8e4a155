#!/usr/bin/env bash
# Checks what an install put under a prefix: the program, its character data, the menu entry,
# the AppStream data, the icons and the manual page, each valid and naming the others rightly.
# Usage: check-installed-files.sh PREFIX APP_ID VERSION
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
prefix=$1 app_id=$2 version=$3
desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
icons=$prefix/share/icons/hicolor
man_page=$prefix/share/man/man1/hiragana.1.gz

[[ -x $prefix/bin/hiragana ]] || fail "no program in $prefix/bin"
[[ -f $prefix/share/hiragana/characters/mic.acs ]] || fail "no character data in $prefix/share/hiragana"

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
entry() { grep -m1 "^$1=" "$desktop" | cut -d= -f2-; }
[[ $(entry Exec) == hiragana ]] || fail "the menu entry does not start hiragana"
[[ $(entry Icon) == "$app_id" ]] || fail "the menu entry names the icon '$(entry Icon)'"
[[ $(entry Categories) == *"Utility;"* && $(entry Categories) == *"Accessibility;"* ]] ||
    fail "the menu entry is not in Utility and Accessibility"
for key in Name 'Name\[ja\]' Comment 'Comment\[ja\]' Keywords 'Keywords\[ja\]'; do
    [[ -n $(entry "$key") ]] || fail "the menu entry has no $key"
done
[[ $(entry Name) == Hiragana ]] || fail "the menu entry is not named Hiragana"

appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli rejects $metainfo"
appstreamcli validate-tree --no-net --strict "$prefix" || fail "appstreamcli rejects the installed tree"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream data does not launch $app_id.desktop"
newest_release=$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[[ $newest_release == "$version" ]] ||
    fail "the newest release in the AppStream data is $newest_release, the project is $version"

[[ -f $icons/scalable/apps/$app_id.svg ]] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$app_id.png
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a ${size}x${size} PNG"
done

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$man_page" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "the manual page renders with warnings: $warnings"
zcat "$man_page" | grep -q "^\.TH HIRAGANA 1 .*\"Hiragana $version\"" ||
    fail "the manual page does not name version $version"
echo "installed files under $prefix are complete and valid"
