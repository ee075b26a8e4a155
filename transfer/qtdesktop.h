#pragma once

#include "desktop.h"

#include <memory>

class QWidget;

namespace hiragana {

// The real desktop: X11 for finding, activating and typing (over a connection of its own to
// the display Qt uses), Qt for the pending events and the message box. keyboardWindow is
// never a target and owns the message box; it may be null.
std::unique_ptr<Desktop> CreateDesktop(QWidget *keyboardWindow);

} // namespace hiragana
