#pragma once

#include "desktop.h"
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

// The transfer on an X server: finds a window by its title, brings it to the front and types
// into it, over a connection of its own, whatever the toolkit uses. The toolkit adds the
// pending events and the message box.
class X11Desktop : public Desktop {
public:
    ~X11Desktop() override;

    // Whether the display could be reached and has the XTEST and XKEYBOARD extensions.
    bool usable() const { return m_connection != nullptr; }
    // Never a target, even with its title (in addition to every window of this process).
    void excludeWindow(unsigned long window);
    // For watching a run: called with the batch number before each batch of keys goes out.
    void setBeforeBatch(std::function<void(std::size_t)> beforeBatch);

    // Finds the window titled title (exact, else beginning with it, else ending with it) and
    // waits until it holds the keyboard focus.
    bool ActivateWindow(const std::u16string &title) override;
    // Types text into the window last activated, while it holds the focus.
    bool SendKeystrokes(const std::u16string &text) override;

protected:
    // displayName: the display to connect to; empty means $DISPLAY.
    explicit X11Desktop(const std::string &displayName, const X11Limits &limits = {});

private:
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Typist> m_typist;
    X11Limits m_limits;
    std::vector<unsigned long> m_excluded;
    unsigned long m_target = 0;
};

// The name a toolkit's Xlib display was opened with, to open another connection beside it.
std::string DisplayNameOf(_XDisplay *display);

} // namespace hiragana::x11
