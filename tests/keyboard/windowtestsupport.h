#pragma once

#include <QColor>
#include <QPoint>

class QWidget;

namespace hiragana::windowtest {

// Real input through the X server (XTest), as a user's mouse and keyboard give it.
void ClickAt(QPoint global);
// Clicks the middle of a widget and waits until the click has reached it.
[[nodiscard]] bool Click(const QWidget &widget);
// keysym as in X11/keysymdef.h; shift and control are held around it when asked.
enum Modifier { NoModifier = 0, Shift = 1, Control = 2 };
void PressKey(unsigned long keysym, int modifiers = NoModifier);

// The colour on screen at a point inside a key's face, clear of its border, focus mark and caption.
QColor FaceColourOnScreen(const QWidget &key);

} // namespace hiragana::windowtest
