#pragma once

#include <functional>
#include <string>

namespace hiragana {

// What a character shows on the screen: the figure, its coming and going, and the balloon
// while it talks. Animations end by calling their callback from the event loop.
class CharacterStage {
public:
    using Done = std::function<void()>;

    virtual ~CharacterStage() = default;

    // Puts the figure's top-left corner at (x, y) screen pixels, also while it is hidden.
    virtual void MoveFigure(int x, int y) = 0;
    // Brings the figure into view (done at once when it is in view already).
    virtual void ShowFigure(Done shown) = 0;
    // Takes the figure out of view (done at once when it is out of view already).
    virtual void HideFigure(Done hidden) = 0;
    // The figure talks, with the text in a balloon, until StopTalking.
    virtual void StartTalking(const std::u16string &text) = 0;
    virtual void StopTalking() = 0;
};

} // namespace hiragana
