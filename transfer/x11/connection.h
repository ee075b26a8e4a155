#pragma once

#include <X11/Xlib.h>

#include <memory>

namespace hiragana::x11 {

struct Atoms {
    Atom netActiveWindow;
    Atom netClientList;
    Atom netClientListStacking;
    Atom netSupported;
    Atom netSupportingWmCheck;
    Atom netWmName;
    Atom netWmPid;
    Atom netWmPing;
    Atom utf8String;
    Atom wmProtocols;
};

// A connection of the transfer's own to the X server. It is not the toolkit's: events it asks
// for (ping replies) come to it alone, and its server grabs and waits touch nothing else.
class Connection {
public:
    // Null when the server cannot be reached or lacks the XTEST or XKEYBOARD extension.
    static std::unique_ptr<Connection> Open(const char *displayName);
    // Takes display over; Open is the way to get one.
    Connection(Display *display, const Atoms &atoms);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    Display *display() const { return m_display; }
    Window root() const { return DefaultRootWindow(m_display); }
    const Atoms &atoms() const { return m_atoms; }

    // Drops the events that came in meanwhile: nothing the transfer waits for is among them.
    void DiscardEvents();

private:
    Display *m_display;
    Atoms m_atoms;
};

} // namespace hiragana::x11
