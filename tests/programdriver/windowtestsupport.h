#pragma once

#include <QPoint>

// A real click through the X server (XTEST), on a connection of its own.
namespace hiragana::windowtest { void ClickAt(QPoint global); }
