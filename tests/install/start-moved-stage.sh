#!/usr/bin/env bash
# Installs into a DESTDIR staging tree, moves the tree elsewhere and starts the program there:
# the program must find its data relative to itself, not where it was meant to be installed.
# Usage: start-moved-stage.sh BUILD_DIR WORK_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
mv "$work/stage" "$work/moved"
start_and_quit "$work/moved/usr/bin/hiragana" "$work/program.log"
rm -rf "$work"
