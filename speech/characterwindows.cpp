#include "characterwindows.h"

namespace hiragana {

CharacterWindows::CharacterWindows(const CharacterData &data)
    : m_figure(data)
    , m_balloon(data.balloon)
{
}

void CharacterWindows::MoveFigure(int x, int y) { m_figure.move(x, y); }

void CharacterWindows::ShowFigure(Done shown) { m_figure.Appear(std::move(shown)); }

void CharacterWindows::HideFigure(Done hidden)
{
    m_balloon.hide();
    m_figure.Disappear(std::move(hidden));
}

void CharacterWindows::StartTalking(const std::u16string &text)
{
    m_figure.SetTalking(true);
    if (text.empty())
        return;
    // The balloon's tail points at the figure's head, from its right.
    const QPoint tip = m_figure.pos() + QPoint(m_figure.width() - 2, m_figure.height() / 5);
    m_balloon.ShowText(QString::fromStdU16String(text), tip);
}

void CharacterWindows::StopTalking()
{
    m_figure.SetTalking(false);
    m_balloon.hide();
}

} // namespace hiragana
