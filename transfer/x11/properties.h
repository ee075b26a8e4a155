#pragma once

#include "connection.h"

#include <optional>
#include <string>
#include <vector>

// Reading the properties of other programs' windows. Those windows may be gone by the time
// the server answers: call these under an ErrorTrap; a missing property reads as empty.
namespace hiragana::x11 {

// The 32-bit items of a property of the given type (WINDOW, CARDINAL, ATOM lists).
std::vector<unsigned long> ReadLongs(Display *display, Window window, Atom property, Atom type);

std::optional<unsigned long> ReadLong(Display *display, Window window, Atom property, Atom type);

// The window's title in UTF-8: _NET_WM_NAME, else WM_NAME converted from its encoding.
std::optional<std::string> ReadTitle(const Connection &connection, Window window);

} // namespace hiragana::x11
