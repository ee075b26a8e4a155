#!/usr/bin/env bash
# Starts the program where no character data can be found: it must say so in its failure box
# and end with a non-zero status, and its keyboard window must never be shown.
# Usage (on an X server with a window manager): missing-character-data.sh PROGRAM
set -uo pipefail
program=$1
empty=$(mktemp -d)
pid=""
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null
    rm -rf "$empty"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

window_type() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*= \([A-Z_]*\).*/\1/p'; }

# The program's visible windows titled "Hiragana" of the given type.
windows_of_type() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$pid" --name '^Hiragana$' 2>/dev/null); do
        [[ $(window_type "$id") == "$1" ]] && echo "$id"
    done
}

HIRAGANA_CHARACTER_DIR=$empty PULSE_SERVER=unix:/nonexistent/no-sound-server "$program" &
pid=$!

box=""
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    [[ -n $(windows_of_type _NET_WM_WINDOW_TYPE_NORMAL) ]] && fail "the keyboard window was shown"
    box=$(windows_of_type _NET_WM_WINDOW_TYPE_DIALOG | head -n1)
    [[ -n $box ]] && break
    sleep 0.1
done
[[ -n $box ]] || fail "no failure box was shown"
echo "the failure box shows and the keyboard window does not"

xdotool windowactivate --sync "$box" key Return
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after its failure box"
status=0
wait "$pid" || status=$?
pid=""
[[ $status -ne 0 ]] || fail "the program ended with status 0"
echo "the program ended with status $status"
