#include "connection.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <array>

namespace hiragana::x11 {

namespace {
bool hasExtensions(Display *display)
{
    int event = 0, error = 0, major = 1, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        return false;
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    return XkbQueryExtension(display, &opcode, &event, &error, &major, &minor);
}

Atoms internAtoms(Display *display)
{
    std::array names{
        const_cast<char *>("_NET_ACTIVE_WINDOW"), const_cast<char *>("_NET_CLIENT_LIST"),
        const_cast<char *>("_NET_CLIENT_LIST_STACKING"), const_cast<char *>("_NET_SUPPORTED"),
        const_cast<char *>("_NET_SUPPORTING_WM_CHECK"), const_cast<char *>("_NET_WM_NAME"),
        const_cast<char *>("_NET_WM_PID"), const_cast<char *>("_NET_WM_PING"),
        const_cast<char *>("UTF8_STRING"), const_cast<char *>("WM_PROTOCOLS"),
    };
    std::array<Atom, names.size()> atoms{};
    XInternAtoms(display, names.data(), static_cast<int>(names.size()), False, atoms.data());
    return Atoms{atoms[0], atoms[1], atoms[2], atoms[3], atoms[4],
                 atoms[5], atoms[6], atoms[7], atoms[8], atoms[9]};
}
} // namespace

std::unique_ptr<Connection> Connection::Open(const char *displayName)
{
    Display *display = XOpenDisplay(displayName);
    if (!display)
        return nullptr;
    if (!hasExtensions(display)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<Connection>(display, internAtoms(display));
}

Connection::Connection(Display *display, const Atoms &atoms)
    : m_display(display)
    , m_atoms(atoms)
{
}

Connection::~Connection()
{
    XCloseDisplay(m_display);
}

void Connection::DiscardEvents()
{
    XSync(m_display, False);
    XEvent event;
    while (XPending(m_display) > 0)
        XNextEvent(m_display, &event);
}

} // namespace hiragana::x11
