#include "keyevents.h"

#include "typedcharacters.h"
#include "unicode.h"

#include <algorithm>

namespace hiragana::win32 {

namespace {
void press(std::vector<KeyEvent> &events, KeyEvent::Key key, char16_t unit = 0)
{
    events.push_back({key, unit, false});
    events.push_back({key, unit, true});
}

// A Return press, or a press and release of each UTF-16 unit of the character.
void appendCharacter(std::vector<KeyEvent> &events, char32_t c)
{
    if (c == U'\r') {
        press(events, KeyEvent::Key::Return);
    } else {
        for (const char16_t unit : EncodeUtf16(std::u32string(1, c)))
            press(events, KeyEvent::Key::Unit, unit);
    }
}
} // namespace

std::vector<std::vector<KeyEvent>> KeyEventBatches(std::u16string_view text, std::size_t charactersPerBatch)
{
    charactersPerBatch = std::max<std::size_t>(charactersPerBatch, 1);
    std::vector<std::vector<KeyEvent>> batches;
    std::size_t charactersInBatch = 0;
    for (const char32_t c : TypedCharacters(text)) {
        if (batches.empty() || charactersInBatch == charactersPerBatch) {
            batches.emplace_back();
            charactersInBatch = 0;
        }
        appendCharacter(batches.back(), c);
        ++charactersInBatch;
    }
    return batches;
}

} // namespace hiragana::win32
