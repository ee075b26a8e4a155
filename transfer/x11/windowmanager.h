#pragma once

#include "connection.h"

namespace hiragana::x11 {

// True when a window manager following the freedesktop.org conventions runs: the root names a
// check window, and that window names itself.
bool WindowManagerRunning(const Connection &connection);

// True when the running window manager lists hint in _NET_SUPPORTED.
bool WindowManagerSupports(const Connection &connection, Atom hint);

} // namespace hiragana::x11
