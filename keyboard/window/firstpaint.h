#pragma once

#include <functional>

class QWidget;

namespace hiragana {

// Runs work once, right after window has been painted for the first time and that frame has
// gone to the screen: for whatever the first sight of the window need not wait for.
void AfterFirstPaint(QWidget &window, std::function<void()> work);

} // namespace hiragana
