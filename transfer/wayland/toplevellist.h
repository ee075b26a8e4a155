#pragma once

#include "compositor.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hiragana::wayland {

// A top-level window as the compositor last described it (each description ends with "done").
struct Toplevel {
    Owned<zwlr_foreign_toplevel_handle_v1> handle;
    std::string title; // UTF-8
    std::string appId;
    bool activated = false; // holds the seat's keyboard focus
    bool described = false; // a first "done" has come
    bool closed = false;

    // What has come since the last "done".
    std::string pendingTitle;
    std::string pendingAppId;
    bool pendingActivated = false;
};

// The compositor's top-level windows, native and XWayland alike, kept up to date while events
// are dispatched. Every window is listed anew for each list.
class ToplevelList {
public:
    // Lists the windows; they are all there after the next round trip. compositor must outlive
    // the list.
    explicit ToplevelList(Compositor &compositor);
    ~ToplevelList();
    ToplevelList(const ToplevelList &) = delete;
    ToplevelList &operator=(const ToplevelList &) = delete;

    // The window a transfer to title goes to, by the title rule of every platform; windows of
    // the given application ids never. Among equal matches the active one wins, then the one
    // listed last. Null when none matches.
    Toplevel *FindByTitle(std::string_view title, std::span<const std::string> excludedAppIds) const;

private:
    static void added(void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle);
    static void finished(void *, zwlr_foreign_toplevel_manager_v1 *) {}
    static constexpr zwlr_foreign_toplevel_manager_v1_listener managerListener{&added, &finished};

    Compositor &m_compositor;
    Owned<zwlr_foreign_toplevel_manager_v1> m_manager;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels; // in the order listed
};

} // namespace hiragana::wayland
