#pragma once

#include <X11/Xlib.h>

namespace hiragana::x11 {

// Catches the X errors of one connection while it lives, instead of Xlib's default of ending
// the program: windows of other programs may vanish at any moment. Errors of other connections
// go on to the handler that was there before. Use on one thread only.
class ErrorTrap {
public:
    explicit ErrorTrap(Display *display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap &) = delete;
    ErrorTrap &operator=(const ErrorTrap &) = delete;

    // Waits for the server to answer every request so far; true if any of them failed.
    bool Failed();

private:
    static int handle(Display *display, XErrorEvent *error);

    Display *m_display;
    bool m_failed = false;
    ErrorTrap *m_outer;
    XErrorHandler m_previousHandler;
};

} // namespace hiragana::x11
