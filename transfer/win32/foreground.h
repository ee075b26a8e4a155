#pragma once

#include <windows.h>

#include <chrono>

namespace hiragana::win32 {

// Asks for window to become the foreground window (restoring it if minimized) and waits at
// most wait for it to be. No ALT-key tricks: whatever window got such a key could open its menu.
bool BringToForeground(HWND window, std::chrono::milliseconds wait);

// Whether window still exists and holds the foreground, that is, receives typed keys.
bool HoldsForeground(HWND window);

// Waits at most wait for the user to let go of Shift, Ctrl, Alt and the Windows keys, which
// would turn a typed Return into another command.
bool WaitForModifiersReleased(std::chrono::milliseconds wait);

} // namespace hiragana::win32
