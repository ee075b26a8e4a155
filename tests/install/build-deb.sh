#!/usr/bin/env bash
# Builds the Debian package of the built project. Usage: build-deb.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1 out=$2
rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
