#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace hiragana::win32 {

// One event for SendInput, without the Windows types: a UTF-16 unit typed as itself
// (KEYEVENTF_UNICODE) or the Return key, going down or coming up.
struct KeyEvent {
    enum class Key { Unit, Return };

    Key key = Key::Unit;
    char16_t unit = 0; // for Key::Unit
    bool up = false;

    bool operator==(const KeyEvent &) const = default;
};

// The events that type text, as runs of at most charactersPerBatch characters each (at least
// one), so that the target can be checked between runs without a surrogate pair ever being cut
// in two. Each character is a press and a release of each of its units; a CR LF pair, a lone CR
// and a lone LF each become one press of Return. A surrogate without its partner is typed as
// U+FFFD rather than left to corrupt the target's text.
std::vector<std::vector<KeyEvent>> KeyEventBatches(std::u16string_view text, std::size_t charactersPerBatch);

} // namespace hiragana::win32
