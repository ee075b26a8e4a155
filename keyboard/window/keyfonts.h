#pragma once

#include <QFont>
#include <QString>

namespace hiragana {

// The face every key and the text box asks for. Debian's IPA fonts carry no alias for it.
inline const QString KeyFontFamily = QStringLiteral("ＭＳ Ｐゴシック");

// Maps the face to IPAPGothic, so kana never fall back to a font without them. The font keeps
// asking for its own family name. Safe to call more than once.
void InstallFontSubstitutes();

// A key's caption font: bold, at the key's size in points.
QFont KeyFont(double points);
// The text box's font: normal weight, 20.25 pt.
QFont TextBoxFont();

} // namespace hiragana
