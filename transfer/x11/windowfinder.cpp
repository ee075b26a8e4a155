#include "windowfinder.h"

#include "errortrap.h"
#include "properties.h"
#include "titlematch.h"
#include "windowmanager.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <unistd.h>

namespace hiragana::x11 {

namespace {
// The client windows in stacking order, bottom first.
std::vector<Window> managedWindows(const Connection &connection)
{
    Display *display = connection.display();
    const Atoms &atoms = connection.atoms();
    std::vector<Window> clients = ReadLongs(display, connection.root(), atoms.netClientList, XA_WINDOW);
    const std::vector<Window> stacking = ReadLongs(display, connection.root(), atoms.netClientListStacking, XA_WINDOW);
    if (stacking.empty())
        return clients;
    std::erase_if(clients, [&](Window w) { return std::find(stacking.begin(), stacking.end(), w) == stacking.end(); });
    std::vector<Window> ordered;
    std::copy_if(stacking.begin(), stacking.end(), std::back_inserter(ordered),
                 [&](Window w) { return std::find(clients.begin(), clients.end(), w) != clients.end(); });
    return ordered;
}

// The root's children that a user could type into, bottom first (XQueryTree's order).
std::vector<Window> unmanagedWindows(const Connection &connection)
{
    Display *display = connection.display();
    Window rootReturn = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, connection.root(), &rootReturn, &parent, &children, &count))
        return {};
    std::vector<Window> result;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && !attributes.override_redirect)
            result.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return result;
}

bool isOwnWindow(const Connection &connection, Window window)
{
    const auto pid = ReadLong(connection.display(), window, connection.atoms().netWmPid, XA_CARDINAL);
    return pid && *pid == static_cast<unsigned long>(getpid());
}
} // namespace

std::vector<Window> TopLevelWindows(const Connection &connection)
{
    const bool managed = WindowManagerRunning(connection);
    ErrorTrap trap(connection.display());
    return managed ? managedWindows(connection) : unmanagedWindows(connection);
}

std::optional<Window> FindWindowByTitle(const Connection &connection, std::string_view title,
                                        std::span<const Window> excluded)
{
    const std::vector<Window> windows = TopLevelWindows(connection);
    ErrorTrap trap(connection.display());
    std::vector<TitledWindow<char>> candidates;
    for (Window window : windows) {
        if (std::find(excluded.begin(), excluded.end(), window) != excluded.end() || isOwnWindow(connection, window))
            continue;
        if (auto windowTitle = ReadTitle(connection, window))
            candidates.push_back({window, std::move(*windowTitle)});
    }
    return ChooseTarget(candidates, title);
}

} // namespace hiragana::x11
