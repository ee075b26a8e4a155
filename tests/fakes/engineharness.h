#pragma once

#include "compositionengine.h"
#include "fakeeditor.h"
#include "fakespeaker.h"
#include "hiramod.h"

namespace hiragana::testing {

// An engine wired to the recording fakes, with the state it works on.
struct EngineHarness {
    Hiramod state;
    FakeEditor editor;
    FakeSpeaker speaker;
    CompositionEngine engine{state, editor, speaker};

    // The editor text as if the engine had written it: CommittedText agrees.
    void startWith(const std::u16string &text)
    {
        editor.text = text;
        editor.caret = text.size();
        state.CommittedText = text;
    }
};

} // namespace hiragana::testing
