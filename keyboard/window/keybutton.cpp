#include "keybutton.h"

#include "keyfonts.h"
#include "startupgeometry.h"

#include <QKeyEvent>
#include <QStyle>

namespace hiragana {

namespace {
QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}
} // namespace

QString AccessibleKeyName(const KeyRecord &key)
{
    switch (key.role) {
    case KeyRole::VoicedMark:
        return QStringLiteral("だくてん");
    case KeyRole::SemiVoicedMark:
        return QStringLiteral("はんだくてん");
    case KeyRole::KanaKey:
        if (key.caption.empty())
            return QStringLiteral("くうはく");
        break;
    default:
        break;
    }
    return toQString(key.caption);
}

KeyButton::KeyButton(const KeyRecord &key, QStyle &style, QWidget *parent)
    : QPushButton(toQString(key.caption), parent)
    , m_key(key)
{
    setObjectName(QString::fromLatin1(key.name.data(), static_cast<qsizetype>(key.name.size())));
    setGeometry(TwipsToPixels(key.left), TwipsToPixels(key.top), TwipsToPixels(key.width),
                TwipsToPixels(key.height));
    setStyle(&style);
    setFont(KeyFont(key.fontPoints));
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    setAccessibleName(AccessibleKeyName(key));
    setFaceColour(key.faceColour);
}

void KeyButton::showFocusColour(bool focused)
{
    if (m_key.showsFocus)
        setFaceColour(focused ? FaceColour::Focused : m_key.faceColour);
}

void KeyButton::setFaceColour(std::uint32_t colour)
{
    QPalette face = palette();
    face.setColor(QPalette::Button, ColourFromWindowsValue(colour));
    setPalette(face);
}

void KeyButton::keyPressEvent(QKeyEvent *event)
{
    const bool isEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isEnter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A held Enter clicks once, like Space: a tremor must not repeat a key.
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace hiragana
