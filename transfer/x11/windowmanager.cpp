#include "windowmanager.h"

#include "errortrap.h"
#include "properties.h"

#include <X11/Xatom.h>

#include <algorithm>

namespace hiragana::x11 {

bool WindowManagerRunning(const Connection &connection)
{
    Display *display = connection.display();
    const Atom check = connection.atoms().netSupportingWmCheck;
    ErrorTrap trap(display);
    const auto checkWindow = ReadLong(display, connection.root(), check, XA_WINDOW);
    if (!checkWindow)
        return false;
    const auto named = ReadLong(display, *checkWindow, check, XA_WINDOW);
    return !trap.Failed() && named == checkWindow;
}

bool WindowManagerSupports(const Connection &connection, Atom hint)
{
    if (!WindowManagerRunning(connection))
        return false;
    const auto supported = ReadLongs(connection.display(), connection.root(), connection.atoms().netSupported, XA_ATOM);
    return std::find(supported.begin(), supported.end(), hint) != supported.end();
}

} // namespace hiragana::x11
