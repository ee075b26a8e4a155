#include "keyfonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace hiragana {

namespace {
const QStringList Substitutes{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};

QFont keyboardFont(double points, QFont::Weight weight)
{
    QFont font(KeyFontFamily);
    font.setPointSizeF(points);
    font.setWeight(weight);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}
} // namespace

void InstallFontSubstitutes()
{
    if (QFont::substitutes(KeyFontFamily) != Substitutes) {
        QFont::removeSubstitutions(KeyFontFamily);
        QFont::insertSubstitutions(KeyFontFamily, Substitutes);
    }
}

void KeepToStandIn(QFont &font)
{
    static const bool standInInstalled = QFontDatabase::families().contains(Substitutes.front());
    if (standInInstalled)
        font.setStyleStrategy(QFont::NoFontMerging);
}

QFont KeyFont(double points)
{
    QFont font = keyboardFont(points, QFont::Bold);
    KeepToStandIn(font);
    return font;
}

QFont TextBoxFont()
{
    return keyboardFont(20.25, QFont::Normal);
}

} // namespace hiragana
