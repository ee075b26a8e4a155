#include "compositor.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace hiragana::wayland {

namespace {
using Clock = std::chrono::steady_clock;

// Waits, until deadline at most, for the socket to be ready for events (POLLIN or POLLOUT).
bool waitForSocket(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd socket{fd, events, 0};
        const int ready = poll(&socket, 1, static_cast<int>(left.count()));
        if (ready > 0)
            return (socket.revents & events) != 0;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}
} // namespace

std::unique_ptr<Compositor> Compositor::Connect()
{
    const char *name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name)
        return nullptr;
    Owned<wl_display> display(wl_display_connect(nullptr));
    if (!display)
        return nullptr;
    auto compositor = std::make_unique<Compositor>(std::move(display));
    const bool complete = compositor->Roundtrip(std::chrono::seconds(5)) && compositor->m_seat
        && compositor->m_keyboards && compositor->m_toplevelManagerName != 0;
    return complete ? std::move(compositor) : nullptr;
}

Compositor::Compositor(Owned<wl_display> display)
    : m_display(std::move(display))
    , m_registry(wl_display_get_registry(m_display.get()))
{
    wl_registry_add_listener(m_registry.get(), &registryListener, this);
}

void Compositor::global(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                        std::uint32_t)
{
    auto *self = static_cast<Compositor *>(data);
    // Version 1 of each is all the transfer needs; the first seat is the user's.
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat) {
        self->m_seat.reset(static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1)));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        self->m_keyboards.reset(static_cast<zwp_virtual_keyboard_manager_v1 *>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1)));
    } else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        self->m_toplevelManagerName = name;
    }
}

Owned<zwlr_foreign_toplevel_manager_v1> Compositor::BindToplevelManager() const
{
    return Owned<zwlr_foreign_toplevel_manager_v1>(static_cast<zwlr_foreign_toplevel_manager_v1 *>(
        wl_registry_bind(m_registry.get(), m_toplevelManagerName, &zwlr_foreign_toplevel_manager_v1_interface, 1)));
}

bool Compositor::DispatchUntil(const std::function<bool()> &done, std::chrono::milliseconds bound)
{
    const auto deadline = Clock::now() + bound;
    wl_display *display = m_display.get();
    for (;;) {
        // What was asked goes out first, even when done() holds already.
        if (!flush(deadline) || wl_display_dispatch_pending(display) < 0)
            return false;
        if (done())
            return true;
        if (!readEvents(deadline))
            return false;
    }
}

bool Compositor::Roundtrip(std::chrono::milliseconds bound)
{
    bool answered = false;
    static constexpr wl_callback_listener listener{
        [](void *data, wl_callback *, std::uint32_t) { *static_cast<bool *>(data) = true; }};
    Owned<wl_callback> callback(wl_display_sync(m_display.get()));
    wl_callback_add_listener(callback.get(), &listener, &answered);
    return DispatchUntil([&answered] { return answered; }, bound);
}

bool Compositor::flush(Clock::time_point deadline)
{
    wl_display *display = m_display.get();
    // A compositor busy with earlier requests takes more only when it has read those.
    while (wl_display_flush(display) < 0) {
        if (errno != EAGAIN || !waitForSocket(wl_display_get_fd(display), POLLOUT, deadline))
            return false;
    }
    return true;
}

bool Compositor::readEvents(Clock::time_point deadline)
{
    wl_display *display = m_display.get();
    if (wl_display_prepare_read(display) != 0)
        return true; // events already queued: the caller handles them first
    if (!waitForSocket(wl_display_get_fd(display), POLLIN, deadline)) {
        wl_display_cancel_read(display);
        return false;
    }
    return wl_display_read_events(display) == 0;
}

} // namespace hiragana::wayland
