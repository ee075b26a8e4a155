#pragma once

#include "keytable.h"

#include <functional>

namespace hiragana {

class CompositionEngine;
class Speaker;
struct Hiramod;

// Turns the Click of a key into the operation of its role.
class KeyActions {
public:
    // transfer runs the transfer key's action; it may be empty until a transfer exists.
    KeyActions(CompositionEngine &engine, Hiramod &state, Speaker &speaker,
               std::function<void()> transfer = {});

    void Click(const KeyRecord &key);
    void setTransfer(std::function<void()> transfer) { m_transfer = std::move(transfer); }

private:
    CompositionEngine &m_engine;
    Hiramod &m_state;
    Speaker &m_speaker;
    std::function<void()> m_transfer;
};

} // namespace hiragana
