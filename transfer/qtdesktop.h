#pragma once

#include "desktop.h"

#include <memory>

class QWidget;

namespace hiragana {

// The real desktop: X11 for finding, activating and typing (over a connection of its own to
// the display Qt uses), Qt for the pending events and the message box. keyboardWindow is
// never a target and owns the message box; it may be null.
// On a Wayland desktop the keyboard runs through XWayland, so only the windows of other X11
// programs can be targets: native Wayland windows are out of an X11 client's sight.
std::unique_ptr<Desktop> CreateDesktop(QWidget *keyboardWindow);

} // namespace hiragana
