#include "characterwindows.h"

namespace hiragana {

struct CharacterWindows::Windows {
    explicit Windows(const CharacterData &data)
        : figure(data)
        , balloon(data.balloon)
    {
    }

    FigureWindow figure;
    BalloonWindow balloon;
};

CharacterWindows::CharacterWindows(CharacterData data)
    : m_data(std::move(data))
{
}

CharacterWindows::~CharacterWindows() = default;

void CharacterWindows::Build() { windows(); }

CharacterWindows::Windows &CharacterWindows::windows()
{
    if (!m_windows) {
        m_windows = std::make_unique<Windows>(m_data);
        if (m_figurePosition)
            m_windows->figure.move(*m_figurePosition);
    }
    return *m_windows;
}

void CharacterWindows::MoveFigure(int x, int y)
{
    m_figurePosition = QPoint(x, y);
    if (m_windows)
        m_windows->figure.move(x, y);
}

void CharacterWindows::ShowFigure(Done shown) { windows().figure.Appear(std::move(shown)); }

void CharacterWindows::HideFigure(Done hidden)
{
    windows().balloon.hide();
    windows().figure.Disappear(std::move(hidden));
}

void CharacterWindows::StartTalking(const std::u16string &text)
{
    FigureWindow &figure = windows().figure;
    figure.SetTalking(true);
    if (text.empty())
        return;
    // The balloon's tail points at the figure's head, from its right.
    const QPoint tip = figure.pos() + QPoint(figure.width() - 2, figure.height() / 5);
    windows().balloon.ShowText(QString::fromStdU16String(text), tip);
}

void CharacterWindows::StopTalking()
{
    windows().figure.SetTalking(false);
    windows().balloon.hide();
}

} // namespace hiragana
