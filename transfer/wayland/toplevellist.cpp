#include "toplevellist.h"

#include "titlematch.h"

#include <algorithm>

namespace hiragana::wayland {

namespace {
Toplevel &toplevelOf(void *data) { return *static_cast<Toplevel *>(data); }

void title(void *data, zwlr_foreign_toplevel_handle_v1 *, const char *title) { toplevelOf(data).pendingTitle = title; }
void appId(void *data, zwlr_foreign_toplevel_handle_v1 *, const char *appId) { toplevelOf(data).pendingAppId = appId; }
void outputEnter(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}
void outputLeave(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}

void state(void *data, zwlr_foreign_toplevel_handle_v1 *, wl_array *states)
{
    const std::span values(static_cast<const std::uint32_t *>(states->data), states->size / sizeof(std::uint32_t));
    toplevelOf(data).pendingActivated =
        std::find(values.begin(), values.end(), ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) != values.end();
}

void done(void *data, zwlr_foreign_toplevel_handle_v1 *)
{
    Toplevel &toplevel = toplevelOf(data);
    toplevel.title = toplevel.pendingTitle;
    toplevel.appId = toplevel.pendingAppId;
    toplevel.activated = toplevel.pendingActivated;
    toplevel.described = true;
}

void closed(void *data, zwlr_foreign_toplevel_handle_v1 *)
{
    toplevelOf(data).closed = true;
    toplevelOf(data).activated = false;
}

constexpr zwlr_foreign_toplevel_handle_v1_listener handleListener{
    &title, &appId, &outputEnter, &outputLeave, &state, &done, &closed};
} // namespace

ToplevelList::ToplevelList(Compositor &compositor)
    : m_compositor(compositor)
    , m_manager(compositor.BindToplevelManager())
{
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager.get(), &managerListener, this);
}

ToplevelList::~ToplevelList()
{
    // The list is let go of only once the compositor has heard so. A window it still announces
    // on a list already let go of would take an object id that the connection then skips, and
    // the next id the compositor hands out would break the connection.
    zwlr_foreign_toplevel_manager_v1_stop(m_manager.get());
    m_compositor.Roundtrip(std::chrono::seconds(3));
}

void ToplevelList::added(void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle)
{
    auto &toplevels = static_cast<ToplevelList *>(data)->m_toplevels;
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle.reset(handle);
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, toplevel.get());
    toplevels.push_back(std::move(toplevel));
}

Toplevel *ToplevelList::FindByTitle(std::string_view wanted, std::span<const std::string> excludedAppIds) const
{
    // The title rule lets the last of equal matches win: the active window goes last.
    std::vector<TitledWindow<char>> candidates;
    std::vector<TitledWindow<char>> active;
    for (std::size_t i = 0; i < m_toplevels.size(); ++i) {
        const Toplevel *toplevel = m_toplevels[i].get();
        const bool excluded =
            std::find(excludedAppIds.begin(), excludedAppIds.end(), toplevel->appId) != excludedAppIds.end();
        if (!toplevel->described || toplevel->closed || excluded)
            continue;
        auto &group = toplevel->activated ? active : candidates;
        group.push_back({i, toplevel->title});
    }
    candidates.insert(candidates.end(), active.begin(), active.end());
    const auto chosen = ChooseTarget(candidates, wanted);
    return chosen ? m_toplevels[*chosen].get() : nullptr;
}

} // namespace hiragana::wayland
