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

window_type() {
    xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*= \([A-Z_]*\).*/\1/p'
}

# Waits (bounded, so a broken start cannot hang the test) until the program shows its main
# window: titled "Hiragana", viewable, and a normal window. The failure box carries the same
# title but is a dialog; seeing it ends the wait at once. Prints the window's id.
wait_for_keyboard_window() {
    local pid=$1 id
    for _ in $(seq 600); do
        kill -0 "$pid" 2>/dev/null || return 1
        for id in $(xdotool search --onlyvisible --pid "$pid" --name '^Hiragana$' 2>/dev/null); do
            case $(window_type "$id") in
                _NET_WM_WINDOW_TYPE_NORMAL) echo "$id"; return 0 ;;
                _NET_WM_WINDOW_TYPE_DIALOG) echo "the program shows a failure box" >&2; return 1 ;;
            esac
        done
        sleep 0.1
    done
    return 1
}

# Clicks the centre of a key given by its place in twips (15 twips to a pixel on Xvfb).
click_key() {
    local window=$1 left=$2 top=$3 width=$4 height=$5
    xdotool mousemove --window "$window" $(((left + width / 2) / 15)) $(((top + height / 2) / 15)) click 1
}

# Confirms あ and waits (bounded) until the speech character maps a window to say it. A map
# event is watched for rather than the window itself, which may be gone again within a moment.
# The keys are clicked again if nothing maps, in case a click came before the window took input;
# a character that never shows still fails. On failure the screen is kept as $events.png.
check_character_shows() {
    local window=$1 events=$2 xev_pid found=""
    : >"$events"
    stdbuf -oL xev -root -event substructure -event property >>"$events" 2>/dev/null &
    xev_pid=$!
    # xev listens once it reports a change made to the root window after it started.
    for _ in $(seq 200); do
        xprop -root -f HIRAGANA_TEST_READY 8s -set HIRAGANA_TEST_READY ready
        grep -q '^PropertyNotify' "$events" && break
        sleep 0.05
    done
    for _ in 1 2 3; do
        xdotool windowactivate --sync "$window"
        click_key "$window" 10800 2280 975 975   # あ
        click_key "$window" 9840 1200 1935 975   # かくてい
        for _ in $(seq 200); do
            grep -q '^MapNotify' "$events" && { found=yes; break 2; }
            sleep 0.05
        done
    done
    xprop -root -remove HIRAGANA_TEST_READY
    kill "$xev_pid" 2>/dev/null
    wait "$xev_pid" 2>/dev/null || true
    [[ -n $found ]] || import -window root "$events.png"
    [[ -n $found ]]
}

# Starts the program as a user's desktop would and checks that its window shows (which it does
# only after the speech character has loaded) and that the character shows when a kana is
# confirmed; then ends it with Ctrl+Q, expecting status 0.
# Needs an X server with a window manager (run it under scripts/with-xvfb).
start_and_quit() {
    local program log=$2 window status=""
    program=$(realpath "$1")
    [[ -x "$program" ]] || fail "no program at $program"
    # From / and without the folder the tests may name, so it cannot find its data by accident.
    (cd / && exec env -u HIRAGANA_CHARACTER_DIR "$program") >"$log" 2>&1 &
    local pid=$!
    trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true' EXIT

    if ! window=$(wait_for_keyboard_window "$pid"); then
        cat "$log" >&2
        fail "the window \"Hiragana\" of $program did not show"
    fi
    echo "the window \"Hiragana\" of $program shows"

    check_character_shows "$window" "$log.events" ||
        fail "the speech character did not show (the screen is kept in $log.events.png)"
    rm -f "$log.events"
    echo "the speech character shows when a kana is confirmed"

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
