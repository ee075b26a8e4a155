#pragma once

#include "desktop.h"

#include <memory>

class QWidget;

namespace hiragana {

// The real desktop, chosen at run time, with Qt for the pending events and the message box.
// keyboardWindow is never a target and owns the message box; it may be null.
// Where WAYLAND_DISPLAY names a compositor that lists its windows and offers virtual keyboards
// (the wlroots-based ones), Wayland finds, activates and types, reaching native and XWayland
// windows alike. Elsewhere X11 does, over a connection of its own to the display Qt uses; on
// GNOME on Wayland the shell's extension takes the native windows, and on other Wayland
// desktops the keyboard runs through XWayland and reaches XWayland windows only.
std::unique_ptr<Desktop> CreateDesktop(QWidget *keyboardWindow);

} // namespace hiragana
