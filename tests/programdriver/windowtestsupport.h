#pragma once

#include <QPoint>

namespace hiragana::windowtest {

// A real click through the X server (XTEST), on a connection of its own.
void ClickAt(QPoint global);

} // namespace hiragana::windowtest
