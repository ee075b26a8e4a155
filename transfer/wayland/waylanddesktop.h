#pragma once

#include "desktop.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hiragana::wayland {

class Compositor;
class ToplevelList;
class VirtualKeyboard;
struct Toplevel;

// How long the transfer waits for the compositor and the target at most, and how it paces.
struct WaylandLimits {
    // For the window to become active after it was asked to.
    std::chrono::milliseconds activation{5000};
    // For the compositor to answer a round trip.
    std::chrono::milliseconds reply{3000};
    // Before each batch. A keymap change takes this long to settle in an XWayland target, and
    // a target that is sent more than it reads is disconnected by the compositor.
    std::chrono::milliseconds pause{20};
};

// The transfer on a Wayland compositor that lists its windows (wlroots' foreign-toplevel
// management) and offers virtual keyboards: sway, Hyprland, labwc, river, Wayfire. Reaches
// native and XWayland windows alike, over a connection of its own, whatever Qt uses. The toolkit
// adds the pending events and the message box.
// No other client can be held off while a batch goes out: the focus is checked before each
// batch, and batches are kept small, so a focus change in between costs at most one batch.
class WaylandDesktop : public Desktop {
public:
    ~WaylandDesktop() override;

    // Whether WAYLAND_DISPLAY names a compositor that offers both.
    bool usable() const;
    // For watching a run: called with the batch number before each batch is checked and sent.
    void setBeforeBatch(std::function<void(std::size_t)> beforeBatch) { m_beforeBatch = std::move(beforeBatch); }

    // Finds the window titled title (exact, else beginning with it, else ending with it) and
    // waits until the compositor reports it active.
    bool ActivateWindow(const std::u16string &title) override;
    // Types text into the window last activated, batch by batch while it stays active. Once per
    // activation: the window list is let go afterwards.
    bool SendKeystrokes(const std::u16string &text) override;

protected:
    // ownAppIds: the application ids of the keyboard's own windows, which are never targets.
    explicit WaylandDesktop(std::vector<std::string> ownAppIds, const WaylandLimits &limits = {});

private:
    bool typeInBatches(const std::vector<std::uint32_t> &keysyms);
    bool targetStillActive();
    void forgetTarget();

    WaylandLimits m_limits;
    std::vector<std::string> m_ownAppIds;
    std::unique_ptr<Compositor> m_compositor;
    std::unique_ptr<VirtualKeyboard> m_keyboard;
    std::unique_ptr<ToplevelList> m_toplevels; // while a transfer is under way
    Toplevel *m_target = nullptr;
    std::function<void(std::size_t)> m_beforeBatch;
};

} // namespace hiragana::wayland
