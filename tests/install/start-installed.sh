#!/usr/bin/env bash
# Starts an installed program and ends it again with Ctrl+Q. Usage: start-installed.sh PROGRAM LOG
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
start_and_quit "$1" "$2"
