#!/usr/bin/env bash
# Installs the built project into a fresh prefix. Usage: install-tree.sh BUILD_DIR PREFIX
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix"
