#pragma once

#include "balloonwindow.h"
#include "characterstage.h"
#include "figurewindow.h"

#include <memory>
#include <optional>

namespace hiragana {

// The character on the screen: its figure, and beside it the balloon while it talks. The
// windows and the figure's art are made on first need, or earlier by Build.
class CharacterWindows : public CharacterStage {
public:
    explicit CharacterWindows(CharacterData data);
    ~CharacterWindows() override;

    // Makes the windows now, if they are not made yet.
    void Build();

    void MoveFigure(int x, int y) override;
    void ShowFigure(Done shown) override;
    void HideFigure(Done hidden) override;
    void StartTalking(const std::u16string &text) override;
    void StopTalking() override;

private:
    struct Windows;
    Windows &windows();

    CharacterData m_data;
    // Where the figure goes, kept for windows not made yet.
    std::optional<QPoint> m_figurePosition;
    std::unique_ptr<Windows> m_windows;
};

} // namespace hiragana
