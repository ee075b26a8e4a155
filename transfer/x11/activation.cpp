#include "activation.h"

#include "errortrap.h"
#include "waiting.h"
#include "windowmanager.h"

namespace hiragana::x11 {

namespace {
// _NET_ACTIVE_WINDOW's source indication for a pager: a request the user asked for.
constexpr long SourceIsPager = 2;

Window parentOf(Display *display, Window window)
{
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    if (children)
        XFree(children);
    return parent;
}

void askWindowManager(const Connection &connection, Window target)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = connection.atoms().netActiveWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = SourceIsPager;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection.display(), connection.root(), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(connection.display());
}

void setFocusDirectly(const Connection &connection, Window target)
{
    ErrorTrap trap(connection.display());
    XSetInputFocus(connection.display(), target, RevertToParent, CurrentTime);
}
} // namespace

bool FocusIsIn(const Connection &connection, Window target)
{
    Display *display = connection.display();
    ErrorTrap trap(display);
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    for (Window window = focus; window != None && window != PointerRoot; window = parentOf(display, window)) {
        if (window == target)
            return !trap.Failed();
        if (window == connection.root())
            break;
    }
    return false;
}

bool ActivateWindow(const Connection &connection, Window target, std::chrono::milliseconds bound)
{
    const bool throughWindowManager = WindowManagerSupports(connection, connection.atoms().netActiveWindow);
    if (throughWindowManager) {
        askWindowManager(connection, target);
    } else {
        ErrorTrap trap(connection.display());
        XMapRaised(connection.display(), target);
    }
    return WaitUntil([&] {
        if (FocusIsIn(connection, target))
            return true;
        // The window may not be viewable yet; setting the focus fails until it is.
        if (!throughWindowManager)
            setFocusDirectly(connection, target);
        return false;
    }, bound);
}

} // namespace hiragana::x11
