#pragma once

#include "compositionengine.h"
#include "editor.h"
#include "hiramod.h"
#include "speaker.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace hiragana::testing {

// An in-memory text box that records what the engine asks of it. Writing the text puts the
// caret at 0, as replacing a text box's whole text does; only SetSelStart moves it.
struct FakeEditor final : Editor {
    std::u16string Text() const override { return text; }
    void SetText(const std::u16string &newText) override { text = newText; caret = 0; ++textWrites; }
    void SetFocus() override { focused = true; }
    void SetSelStart(std::size_t position) override { caret = std::min(position, text.size()); }

    // What the user types straight into the text box, unseen by the engine.
    void userTypes(std::u16string_view typed) { text.insert(caret, typed); caret += typed.size(); }
    // A click on a key takes the keyboard focus away from the text box.
    void focusElsewhere() { focused = false; }

    std::u16string text;
    std::size_t caret = 0;
    bool focused = false;
    int textWrites = 0;
};

// Records what it is asked to say; onSay, if set, first sees the world at that moment.
struct FakeSpeaker final : Speaker {
    void SayAloud(const std::u16string &text) override
    {
        if (onSay)
            onSay(text);
        said.push_back(text);
    }

    std::vector<std::u16string> said;
    std::function<void(const std::u16string &)> onSay;
};

// An engine wired to the fakes, with the state it works on.
struct EngineHarness {
    Hiramod state;
    FakeEditor editor;
    FakeSpeaker speaker;
    CompositionEngine engine{state, editor, speaker};

    // The editor text as if the engine had written it: CommittedText agrees.
    void startWith(const std::u16string &text)
    {
        editor.text = text;
        state.CommittedText = text;
        editor.caret = text.size();
    }
};

} // namespace hiragana::testing
