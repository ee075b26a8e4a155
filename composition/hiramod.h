#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace hiragana {

// The shared input state of the keyboard, kept for the whole run.
// Nothing saves or restores it; everything starts empty.
struct Hiramod {
    // The editor text as the engine last left it, read back after every change it made.
    std::u16string CommittedText;
    // The string chosen by a character key and not yet confirmed; empty when nothing is pending.
    std::u16string PendingKana;
    // The string most recently appended by Confirm. Nothing ever empties it.
    std::u16string LastConfirmed;
    // Working values of the last TrimLastChar: the length it measured and the text it made.
    // The length is not limited: a text of any size can be trimmed.
    std::size_t TextLength = 0;
    std::u16string TrimmedText;
    // Flags holding 0 or 1.
    std::int16_t VoicedPending = 0;
    // 1: the next Confirm puts the pending string in place of the editor text's last character.
    std::int16_t ReplaceLast = 0;
    // The title of the window that receives the transferred text.
    std::u16string TargetTitle;
};

} // namespace hiragana
