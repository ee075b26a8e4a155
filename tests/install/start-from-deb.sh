#!/usr/bin/env bash
# Unpacks the Debian package into a folder, as dpkg would under /, and starts the program there.
# Usage: start-from-deb.sh OUT_DIR ROOT_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
out=$1 root=$2
rm -rf "$root"
dpkg-deb -x "$out"/hiragana_*.deb "$root"
start_and_quit "$root/usr/bin/hiragana" "$root.log"
rm -rf "$root" "$root.log"
