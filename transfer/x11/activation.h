#pragma once

#include "connection.h"

#include <chrono>

namespace hiragana::x11 {

// True when the keyboard focus is in target or in one of its descendants.
bool FocusIsIn(const Connection &connection, Window target);

// Brings target to the front and waits, at most bound, until it holds the keyboard focus.
// Through the window manager (_NET_ACTIVE_WINDOW) when it offers that, else by raising the
// window and setting the focus directly.
bool ActivateWindow(const Connection &connection, Window target, std::chrono::milliseconds bound);

} // namespace hiragana::x11
