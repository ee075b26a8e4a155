#pragma once

#include "keytable.h"

#include <QColor>
#include <QPushButton>

#include <cstdint>

class QStyle;

namespace hiragana {

// A Windows colour value 0x00BBGGRR as a QColor.
constexpr QColor ColourFromWindowsValue(std::uint32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// The name a screen reader speaks for a key: its caption, or a spoken name where the caption
// is blank or a bare mark.
QString AccessibleKeyName(const KeyRecord &key);

// One key of the keyboard, built from its row of the key table. Its face shows the key's own
// colour, or red while it holds the focus if it is one of the keys that show focus.
// Space and Enter click it while it has the focus.
class KeyButton : public QPushButton {
    Q_OBJECT
public:
    // style paints the face in exactly the palette's button colour; it must outlive the key.
    KeyButton(const KeyRecord &key, QStyle &style, QWidget *parent);

    const KeyRecord &key() const { return m_key; }
    // Shows or drops the focus colour; keys that do not show focus keep their colour.
    void showFocusColour(bool focused);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setFaceColour(std::uint32_t colour);

    const KeyRecord &m_key;
};

} // namespace hiragana
