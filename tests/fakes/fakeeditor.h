#pragma once

#include "editor.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hiragana::testing {

// An in-memory text box that records what the engine asks of it. Writing the text puts the
// caret at 0, as replacing a text box's whole text does, so only SetSelStart moves it to the end.
class FakeEditor final : public Editor {
public:
    std::u16string Text() const override { return text; }

    void SetText(const std::u16string &newText) override
    {
        text = newText;
        caret = 0;
        ++textWrites;
    }

    void SetFocus() override
    {
        focused = true;
        ++focusRequests;
    }

    void SetSelStart(std::size_t position) override
    {
        selStarts.push_back(position);
        caret = std::min(position, text.size());
    }

    // What the user does straight in the text box, unseen by the engine.
    void userTypes(std::u16string_view typed)
    {
        text.insert(caret, typed);
        caret += typed.size();
    }

    // A click on a key takes the keyboard focus away from the text box.
    void focusElsewhere() { focused = false; }

    std::u16string text;
    std::size_t caret = 0;
    bool focused = false;
    int textWrites = 0;
    int focusRequests = 0;
    std::vector<std::size_t> selStarts;
};

} // namespace hiragana::testing
