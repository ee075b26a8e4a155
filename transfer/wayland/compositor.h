#pragma once

#include "foreign-toplevel-client.h"
#include "virtual-keyboard-client.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace hiragana::wayland {

// Each Wayland object the transfer holds is released the way its protocol says.
inline void release(wl_display *display) { wl_display_disconnect(display); }
inline void release(wl_registry *registry) { wl_registry_destroy(registry); }
inline void release(wl_seat *seat) { wl_seat_destroy(seat); }
inline void release(wl_callback *callback) { wl_callback_destroy(callback); }
inline void release(zwlr_foreign_toplevel_manager_v1 *manager) { zwlr_foreign_toplevel_manager_v1_destroy(manager); }
inline void release(zwlr_foreign_toplevel_handle_v1 *handle) { zwlr_foreign_toplevel_handle_v1_destroy(handle); }
inline void release(zwp_virtual_keyboard_manager_v1 *manager) { zwp_virtual_keyboard_manager_v1_destroy(manager); }
inline void release(zwp_virtual_keyboard_v1 *keyboard) { zwp_virtual_keyboard_v1_destroy(keyboard); }

struct Release {
    template<typename Object>
    void operator()(Object *object) const { release(object); }
};

// A Wayland object, released when the pointer goes.
template<typename Object>
using Owned = std::unique_ptr<Object, Release>;

// The connection to the compositor that WAYLAND_DISPLAY names, with the globals the transfer
// needs: a seat, the list of top-level windows, and virtual keyboards.
class Compositor {
public:
    // Null unless WAYLAND_DISPLAY is set and its compositor offers all three.
    static std::unique_ptr<Compositor> Connect();
    // Lists the globals; Connect() checks them after a round trip.
    explicit Compositor(Owned<wl_display> display);

    wl_seat *seat() const { return m_seat.get(); }
    zwp_virtual_keyboard_manager_v1 *keyboards() const { return m_keyboards.get(); }
    // A list of its own for each caller: the compositor sends every window to each new one.
    Owned<zwlr_foreign_toplevel_manager_v1> BindToplevelManager() const;

    // Sends what was asked so far and handles what the compositor sends, until done() holds
    // (true) or bound has passed or the connection broke (false).
    bool DispatchUntil(const std::function<bool()> &done, std::chrono::milliseconds bound);
    // Waits, at most bound, until the compositor has handled everything sent before.
    bool Roundtrip(std::chrono::milliseconds bound);

private:
    bool flush(std::chrono::steady_clock::time_point deadline);
    bool readEvents(std::chrono::steady_clock::time_point deadline);

    static void global(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                       std::uint32_t version);
    static void globalRemove(void *, wl_registry *, std::uint32_t) {}
    static constexpr wl_registry_listener registryListener{&global, &globalRemove};

    Owned<wl_display> m_display;
    Owned<wl_registry> m_registry;
    Owned<wl_seat> m_seat;
    Owned<zwp_virtual_keyboard_manager_v1> m_keyboards;
    std::uint32_t m_toplevelManagerName = 0;
};

} // namespace hiragana::wayland
