#pragma once

#include "connection.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace hiragana::x11 {

// The windows a transfer may go to, bottom of the stack first: the window manager's client
// windows, or without a window manager the root's mapped children that are not override-redirect.
std::vector<Window> TopLevelWindows(const Connection &connection);

// The top-level window that a transfer to title goes to (see ChooseTarget for the matching).
// Windows of this process (by _NET_WM_PID) and the excluded ones are never candidates.
std::optional<Window> FindWindowByTitle(const Connection &connection, std::string_view title,
                                        std::span<const Window> excluded);

} // namespace hiragana::x11
