#pragma once

#include "desktop.h"

#include <memory>

namespace hiragana::gnome {

// Whether the keyboard runs in a GNOME session on Wayland, where only the shell can reach the
// windows of native Wayland programs.
bool IsGnomeOnWayland();

// The desktop on GNOME on Wayland. Through the Hiragana extension of the shell it finds the target
// among all windows, and it brings a native Wayland target to the front and types into it with
// the shell's input method. For an X11 target (through XWayland), or when the extension does not
// answer, x11Desktop does the transfer; it also runs the pending events and shows the box.
std::unique_ptr<Desktop> CreateGnomeDesktop(std::unique_ptr<Desktop> x11Desktop);

} // namespace hiragana::gnome
