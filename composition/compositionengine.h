#pragma once

#include "editor.h"
#include "hiramod.h"
#include "speaker.h"
#include "voicingmarks.h"

#include <string_view>

namespace hiragana {

// Carries out every key that changes the composed text. It reaches the text box only through
// the Editor and the speech character only through the Speaker, so it runs without a window.
class CompositionEngine {
public:
    CompositionEngine(Hiramod &state, Editor &editor, Speaker &speaker);

    // A character key: the string waits, shown nowhere, until the next Confirm.
    void ChooseKana(std::u16string_view kana);
    // Appends the pending string (or puts it in place of the last character) and says it.
    void Confirm();
    // Removes the last character of the editor text, as the user sees it.
    void BackSpace();
    // Appends a CR LF line break to the committed text.
    void NewLine();
    void AddVoicedMark();
    void AddSemiVoicedMark();

    const Hiramod &state() const { return m_state; }

private:
    void TrimLastChar();
    void CaretToEnd();
    void AddMark(MarkTable table);

    Hiramod &m_state;
    Editor &m_editor;
    Speaker &m_speaker;
};

// How many code units make up the last character of text as the user sees it:
// 2 for a final CR LF or surrogate pair, 1 otherwise, 0 for an empty text.
std::size_t LastCharacterLength(std::u16string_view text);

} // namespace hiragana
