// Arbitrary key clicks, arbitrary UTF-16 typed into the text box (lone surrogates, lone CR,
// NUL, pastes of 40,000 units) and arbitrary caret moves; the engine's invariants after each.
#include "engineharness.h"
#include "keyactions.h"
#include "unicode.h"

#include <cstdint>
#include <cstdlib>

namespace {

// No lone surrogate and no CR without its LF.
bool isClean(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i], next = i + 1 < text.size() ? text[i + 1] : u'\0';
        if ((hiragana::IsHighSurrogate(c) && hiragana::IsLowSurrogate(next)) || (c == u'\r' && next == u'\n'))
            ++i;
        else if (hiragana::IsHighSurrogate(c) || hiragana::IsLowSurrogate(c) || c == u'\r')
            return false;
    }
    return true;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    hiragana::testing::EngineHarness h;
    hiragana::KeyActions keys(h.engine, h.state, h.speaker);
    std::size_t at = 0;
    const auto byte = [&] { return at < size ? data[at++] : std::uint8_t(0); };
    const auto unit = [&] { return char16_t(byte() | byte() << 8); };
    while (at < size) {
        if (const std::uint8_t op = byte(); op < hiragana::KeyTable.size()) {
            const bool wasClean = isClean(h.editor.text) && isClean(h.state.CommittedText);
            const int writes = h.editor.textWrites;
            h.editor.focusElsewhere();
            keys.Click(hiragana::KeyTable[op]);
            check(h.state.VoicedPending == 0 && (!h.state.PendingKana.empty() || h.state.ReplaceLast == 0));
            if (h.editor.textWrites != writes)
                check(h.state.CommittedText == h.editor.text && h.editor.focused
                      && h.editor.caret == h.editor.text.size() && (!wasClean || isClean(h.editor.text)));
        } else if (op < 200) {
            // A few code units typed, or a paste of 40,000 and more of one of them.
            const std::uint8_t length = byte();
            std::u16string typed;
            for (int i = length & 0x0F; i > 0; --i)
                typed += unit();
            if (length & 0x80)
                typed = std::u16string(40000 + length, typed.empty() ? u'あ' : typed.front());
            h.editor.userTypes(typed);
        } else {
            h.editor.caret = unit() % (h.editor.text.size() + 1);
        }
    }
    return 0;
}
