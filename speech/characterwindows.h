#pragma once

#include "balloonwindow.h"
#include "characterstage.h"
#include "figurewindow.h"

namespace hiragana {

// The character on the screen: its figure, and beside it the balloon while it talks.
class CharacterWindows : public CharacterStage {
public:
    explicit CharacterWindows(const CharacterData &data);

    void MoveFigure(int x, int y) override;
    void ShowFigure(Done shown) override;
    void HideFigure(Done hidden) override;
    void StartTalking(const std::u16string &text) override;
    void StopTalking() override;

private:
    FigureWindow m_figure;
    BalloonWindow m_balloon;
};

} // namespace hiragana
