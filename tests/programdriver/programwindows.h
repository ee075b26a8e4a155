#pragma once

// Qt before Xlib, whose macros (Bool, Status …) would clash with it.
#include <QMargins>
#include <QRect>

#include "connection.h"

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hiragana::driver {

// What the X server shows of one program's windows, seen from outside on a connection of the
// driver's own.
class ProgramWindows {
public:
    // waitStep runs while anything is waited for: the driver's own event loop goes on.
    ProgramWindows(x11::Connection &connection, pid_t pid, std::function<void()> waitStep);

    // The program's managed, viewable windows with this exact title (UTF-8).
    std::vector<Window> Titled(const std::string &title) const;
    // Waits, bounded, until the program shows a window with this title.
    std::optional<Window> WaitForTitled(const std::string &title, std::chrono::milliseconds bound) const;
    // Waits, bounded, until no window of the program has this title any more.
    bool WaitUntilNoneTitled(const std::string &title, std::chrono::milliseconds bound) const;

    // How many of the program's windows that bypass the window manager are viewable: the
    // speech character's figure and its balloon.
    int UnmanagedShown() const;

    bool IsActive(Window window) const;
    // Waits, bounded, until the window holds the keyboard focus without being asked to.
    bool WaitUntilActive(Window window, std::chrono::milliseconds bound) const;
    // Whether the window manager treats the window as a dialog box.
    bool IsDialog(Window window) const;
    // The frame the window manager put around the window (_NET_FRAME_EXTENTS).
    QMargins FrameExtents(Window window) const;
    // Asks the window manager to activate the window, as a task bar would, and waits (bounded)
    // until it holds the keyboard focus.
    bool Activate(Window window, std::chrono::milliseconds bound) const;
    // The window's inside (no frame) in root coordinates.
    QRect ClientRect(Window window) const;

    // One round trip through the program's event loop (_NET_WM_PING): true once it answered.
    bool Ping(Window window, std::chrono::milliseconds bound);

private:
    bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const;

    x11::Connection &m_connection;
    pid_t m_pid;
    std::function<void()> m_waitStep;
    long m_stamp = 0;
};

} // namespace hiragana::driver
