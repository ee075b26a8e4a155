#include "programwindows.h"

#include "activation.h"
#include "errortrap.h"
#include "properties.h"
#include "targetsync.h"
#include "windowfinder.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <thread>

namespace hiragana::driver {

namespace {
using Clock = std::chrono::steady_clock;

bool isViewable(Display *display, Window window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}
} // namespace

ProgramWindows::ProgramWindows(x11::Connection &connection, pid_t pid, std::function<void()> waitStep)
    : m_connection(connection)
    , m_pid(pid)
    , m_waitStep(std::move(waitStep))
{
}

bool ProgramWindows::waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const
{
    const auto deadline = Clock::now() + bound;
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        m_waitStep();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<Window> ProgramWindows::Titled(const std::string &title) const
{
    Display *display = m_connection.display();
    x11::ErrorTrap trap(display);
    std::vector<Window> found;
    for (const Window window : x11::TopLevelWindows(m_connection)) {
        const auto pid = x11::ReadLong(display, window, m_connection.atoms().netWmPid, XA_CARDINAL);
        if (pid != static_cast<unsigned long>(m_pid) || x11::ReadTitle(m_connection, window) != title)
            continue;
        if (isViewable(display, window))
            found.push_back(window);
    }
    return trap.Failed() ? std::vector<Window>() : found;
}

std::optional<Window> ProgramWindows::WaitForTitled(const std::string &title, std::chrono::milliseconds bound) const
{
    std::optional<Window> found;
    waitUntil([&] {
        if (const auto windows = Titled(title); !windows.empty())
            found = windows.front();
        return found.has_value();
    }, bound);
    return found;
}

bool ProgramWindows::WaitUntilNoneTitled(const std::string &title, std::chrono::milliseconds bound) const
{
    return waitUntil([&] { return Titled(title).empty(); }, bound);
}

int ProgramWindows::UnmanagedShown() const
{
    Display *display = m_connection.display();
    x11::ErrorTrap trap(display);
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, m_connection.root(), &root, &parent, &children, &count))
        return 0;
    int shown = 0;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[i], &attributes) || !attributes.override_redirect
            || attributes.map_state != IsViewable)
            continue;
        const auto pid = x11::ReadLong(display, children[i], m_connection.atoms().netWmPid, XA_CARDINAL);
        if (pid == static_cast<unsigned long>(m_pid))
            ++shown;
    }
    if (children)
        XFree(children);
    return trap.Failed() ? 0 : shown;
}

bool ProgramWindows::IsActive(Window window) const
{
    const auto active = x11::ReadLong(m_connection.display(), m_connection.root(),
                                      m_connection.atoms().netActiveWindow, XA_WINDOW);
    return active == window && x11::FocusIsIn(m_connection, window);
}

bool ProgramWindows::WaitUntilActive(Window window, std::chrono::milliseconds bound) const
{
    return waitUntil([&] { return IsActive(window); }, bound);
}

bool ProgramWindows::IsDialog(Window window) const
{
    Display *display = m_connection.display();
    x11::ErrorTrap trap(display);
    const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    const auto types = x11::ReadLongs(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM);
    return std::ranges::find(types, dialog) != types.end();
}

QMargins ProgramWindows::FrameExtents(Window window) const
{
    Display *display = m_connection.display();
    x11::ErrorTrap trap(display);
    const auto extents = x11::ReadLongs(display, window, XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL);
    if (extents.size() != 4)
        return {};
    return QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
}

bool ProgramWindows::Activate(Window window, std::chrono::milliseconds bound) const
{
    if (IsActive(window))
        return true;
    x11::ActivateWindow(m_connection, window, std::chrono::milliseconds(0));
    return WaitUntilActive(window, bound);
}

QRect ProgramWindows::ClientRect(Window window) const
{
    Display *display = m_connection.display();
    x11::ErrorTrap trap(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, m_connection.root(), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

bool ProgramWindows::Ping(Window window, std::chrono::milliseconds bound)
{
    return x11::PingWindow(m_connection, window, ++m_stamp, bound, m_waitStep);
}

} // namespace hiragana::driver
