#pragma once

#include <windows.h>

#include <string_view>

namespace hiragana::win32 {

// The visible top-level window of another process that a transfer to title goes to (see
// ChooseTarget for the matching), or null. Windows of this process are never candidates.
HWND FindWindowByTitle(std::u16string_view title);

} // namespace hiragana::win32
