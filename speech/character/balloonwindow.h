#pragma once

#include "characterdata.h"
#include "shapedwindow.h"

#include <QFont>

namespace hiragana {

// The speech balloon: the text being said, in a rounded box whose tail points at the speaker.
// A text too long for the balloon ends in "…".
class BalloonWindow : public ShapedWindow {
public:
    explicit BalloonWindow(const BalloonStyle &style);

    // Shows text with the tail's tip at tip (screen pixels) and the box to its right.
    void ShowText(const QString &text, QPoint tip);

private:
    QStringList WrapLines(const QString &text) const;
    QImage Draw(const QStringList &lines) const;

    BalloonStyle m_style;
    QFont m_font;
};

} // namespace hiragana
