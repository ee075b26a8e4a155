#pragma once

#include "connection.h"
#include "keystrokes.h"
#include "transferlimits.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>

namespace hiragana::x11 {

class KeymapBinder;
class KeyPresser;

// Types text into a target window as key presses, batch by batch: each batch binds the
// characters the keymap lacks to spare keys in one keymap change, is sent only while the target
// holds the keyboard focus (checked and sent under a server grab), and is handled by the target
// before its keys are bound anew: the target answers a ping, or, for a target that answers
// none, each batch keeps its keys for two settling times. The keymap and the keyboard's lock
// state are as before afterwards, whatever happens.
class Typist {
public:
    Typist(Connection &connection, const X11Limits &limits);

    // Called with the batch number before each batch is sent.
    void setBeforeBatch(std::function<void(std::size_t)> beforeBatch) { m_beforeBatch = std::move(beforeBatch); }

    // False when not all of text was sent: the focus left the target, the user held a key down,
    // the keymap could not be changed, or the target stopped answering.
    bool Type(Window target, std::u16string_view text);

private:
    bool typeKeys(Window target, std::span<const Keysym> keys);
    bool sendWhileFocused(Window target, std::span<const Keysym> keys, const KeymapBinder &keymap, KeyPresser &presser);

    Connection &m_connection;
    X11Limits m_limits;
    std::function<void(std::size_t)> m_beforeBatch;
};

} // namespace hiragana::x11
