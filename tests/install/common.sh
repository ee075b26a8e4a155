# Shared by the install tests: failing with a message, and running the installed program.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The owning Debian package of a file, trying the merged-/usr twin of its path as well.
package_owning() {
    local file=$1 candidate
    for candidate in "$file" "$(realpath "$file")" "${file#/usr}" "/usr$file"; do
        dpkg-query -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1 && return 0
    done
    return 1
}

# Waits (bounded, so a broken start cannot hang the test) until a window titled exactly
# "Hiragana" is viewable; prints its id.
wait_for_keyboard_window() {
    local program_pid=$1 id
    for _ in $(seq 600); do
        kill -0 "$program_pid" 2>/dev/null || return 1
        id=$(xwininfo -name Hiragana 2>/dev/null | awk '/^xwininfo: Window id:/ {print $4}')
        if [[ -n "$id" ]] && xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Starts the program as a user's desktop would, checks that its window shows (which it does
# only after the speech character has loaded), then ends it with Ctrl+Q, expecting status 0.
# Needs an X server with a window manager (run it under scripts/with-xvfb).
start_and_quit() {
    local program=$1 log=$2 window status=""
    [[ -x "$program" ]] || fail "no program at $program"
    (cd / && exec "$program") >"$log" 2>&1 &
    local pid=$!
    trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null' EXIT

    if ! window=$(wait_for_keyboard_window "$pid"); then
        cat "$log" >&2
        fail "the window \"Hiragana\" of $program did not show"
    fi
    echo "window $window of $program is viewable"

    xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "Ctrl+Q did not end the program"
    wait "$pid" || status=$?
    trap - EXIT
    [[ -z "$status" ]] || { cat "$log" >&2; fail "the program ended with status $status"; }
    echo "Ctrl+Q ended the program with status 0"
}
