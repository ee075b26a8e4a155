#pragma once

#include <cstddef>
#include <string>

namespace hiragana {

// The engine's view of the text box. Line breaks are CR LF pairs in both directions.
class Editor {
public:
    virtual ~Editor() = default;

    virtual std::u16string Text() const = 0;
    // Replaces the whole text.
    virtual void SetText(const std::u16string &text) = 0;
    // Gives the text box the keyboard focus.
    virtual void SetFocus() = 0;
    // Puts the caret after that many UTF-16 code units, with nothing selected.
    virtual void SetSelStart(std::size_t position) = 0;
};

} // namespace hiragana
