#pragma once

#include "transferlimits.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _XDisplay;

namespace hiragana::x11 {

class Connection;
class Typist;

// The X11 half of the transfer: finds a window by its title, brings it to the front and types
// into it, over a connection of its own. No toolkit involved.
class X11Transfer {
public:
    // Null when the display cannot be reached or lacks XTEST or XKEYBOARD. A null name means
    // $DISPLAY.
    static std::unique_ptr<X11Transfer> Open(const char *displayName, const TransferLimits &limits);
    static std::unique_ptr<X11Transfer> Open(const char *displayName) { return Open(displayName, TransferLimits{}); }
    X11Transfer(std::unique_ptr<Connection> connection, const TransferLimits &limits);
    ~X11Transfer();

    // Never a target, even with its title (in addition to every window of this process).
    void excludeWindow(unsigned long window);
    // For watching a run: called with the batch number before each batch of keys goes out.
    void setBeforeBatch(std::function<void(std::size_t)> beforeBatch);

    // Finds the window titled title (exact, else beginning with it, else ending with it) and
    // waits until it holds the keyboard focus.
    bool ActivateWindow(const std::u16string &title);
    // Types text into the window last activated, while it holds the focus.
    bool SendKeystrokes(const std::u16string &text);

private:
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Typist> m_typist;
    TransferLimits m_limits;
    std::vector<unsigned long> m_excluded;
    unsigned long m_target = 0;
};

// The name a toolkit's Xlib display was opened with, to open another connection beside it.
std::string DisplayNameOf(_XDisplay *display);

} // namespace hiragana::x11
