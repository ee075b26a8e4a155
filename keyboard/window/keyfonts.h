#pragma once

#include <QFont>
#include <QString>

namespace hiragana {

// The face every key and the text box asks for. Debian's IPA fonts carry no alias for it.
inline const QString KeyFontFamily = QStringLiteral("ＭＳ Ｐゴシック");

// Maps the face to IPAPGothic, so kana never fall back to a font without them. The font keeps
// asking for its own family name. Safe to call more than once.
void InstallFontSubstitutes();

// Sets a font for the keys' and menus' own captions: they are all in the stand-in face, so when
// that face is installed, no fonts to fall back on are looked for. That search through the
// system's fonts, made for every new font, delays the window's first frame.
void KeepToStandIn(QFont &font);

// A key's caption font: bold, at the key's size in points, kept to the stand-in.
QFont KeyFont(double points);
// The text box's font: normal weight, 20.25 pt.
QFont TextBoxFont();

} // namespace hiragana
