#pragma once

#include <chrono>

namespace hiragana::x11 {

// How long the transfer on X11 waits for the desktop and the target at most.
struct X11Limits {
    // For the window to hold the keyboard focus after it was asked to the front. A window
    // manager still busy with earlier keymap changes can take a second or two.
    std::chrono::milliseconds focus{5000};
    // For the user to let go of every key before typing starts.
    std::chrono::milliseconds keysReleased{3000};
    // For a target that answers pings to handle a batch of keys.
    std::chrono::milliseconds processed{3000};
    // What a target that does not answer pings is given to handle a batch. Measured with xterm
    // under Xvfb: 10 ms on a quiet machine and 30 ms on a busy one were enough. A batch keeps
    // its keys for two of these waits; a target that gets no time for longer than that still
    // reads characters wrongly.
    std::chrono::milliseconds settleTime{40};
};

} // namespace hiragana::x11
