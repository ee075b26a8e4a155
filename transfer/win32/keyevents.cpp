#include "keyevents.h"

#include <algorithm>

namespace hiragana::win32 {

namespace {
constexpr char16_t ReplacementCharacter = u'\uFFFD';

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

void press(std::vector<KeyEvent> &events, KeyEvent::Key key, char16_t unit = 0)
{
    events.push_back({key, unit, false});
    events.push_back({key, unit, true});
}

// Appends the events of the character at text[at] and returns how many units it took.
std::size_t appendCharacter(std::vector<KeyEvent> &events, std::u16string_view text, std::size_t at)
{
    const char16_t unit = text[at];
    const bool hasNext = at + 1 < text.size();
    if (unit == u'\r' || unit == u'\n') {
        press(events, KeyEvent::Key::Return);
        return unit == u'\r' && hasNext && text[at + 1] == u'\n' ? 2 : 1;
    }
    if (isHighSurrogate(unit) && hasNext && isLowSurrogate(text[at + 1])) {
        press(events, KeyEvent::Key::Unit, unit);
        press(events, KeyEvent::Key::Unit, text[at + 1]);
        return 2;
    }
    const bool loneSurrogate = isHighSurrogate(unit) || isLowSurrogate(unit);
    press(events, KeyEvent::Key::Unit, loneSurrogate ? ReplacementCharacter : unit);
    return 1;
}
} // namespace

std::vector<std::vector<KeyEvent>> KeyEventBatches(std::u16string_view text, std::size_t charactersPerBatch)
{
    charactersPerBatch = std::max<std::size_t>(charactersPerBatch, 1);
    std::vector<std::vector<KeyEvent>> batches;
    std::size_t charactersInBatch = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (batches.empty() || charactersInBatch == charactersPerBatch) {
            batches.emplace_back();
            charactersInBatch = 0;
        }
        at += appendCharacter(batches.back(), text, at);
        ++charactersInBatch;
    }
    return batches;
}

} // namespace hiragana::win32
