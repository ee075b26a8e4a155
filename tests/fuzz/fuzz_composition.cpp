// Drives the composition engine with arbitrary key clicks and arbitrary UTF-16 text typed
// straight into the text box, checking the engine's invariants after every step.

#include "engineharness.h"
#include "keyactions.h"
#include "keytable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using hiragana::testing::EngineHarness;

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A text is clean when it holds no lone surrogate and no CR without its LF.
bool isClean(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (isHigh(c)) {
            if (!hasNext || !isLow(text[i + 1]))
                return false;
            ++i;
        } else if (isLow(c)) {
            return false;
        } else if (c == u'\r') {
            if (!hasNext || text[i + 1] != u'\n')
                return false;
            ++i;
        }
    }
    return true;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    char16_t unit() { return static_cast<char16_t>(byte() | (byte() << 8)); }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// The user types a few arbitrary code units, or pastes one long run of them.
std::u16string typedText(Input &in)
{
    const std::uint8_t length = in.byte();
    std::u16string text;
    for (int i = 0; i < (length & 0x0F); ++i)
        text += in.unit();
    if (length & 0x80)
        text = std::u16string(40000 + length, text.empty() ? u'あ' : text.front());
    return text;
}

void clickKey(EngineHarness &h, hiragana::KeyActions &keys, std::size_t index)
{
    const std::u16string textBefore = h.editor.text;
    const bool cleanBefore = isClean(textBefore) && isClean(h.state.CommittedText);
    const int writesBefore = h.editor.textWrites;
    const std::size_t selStartsBefore = h.editor.selStarts.size();
    h.editor.focusElsewhere();

    keys.Click(hiragana::KeyTable[index]);

    check(h.state.VoicedPending == 0);
    check(!h.state.PendingKana.empty() || h.state.ReplaceLast == 0);
    if (h.editor.textWrites != writesBefore) {
        check(h.state.CommittedText == h.editor.text);
        check(h.editor.focused);
        check(h.editor.selStarts.size() > selStartsBefore);
        check(h.editor.caret == h.editor.text.size());
        if (cleanBefore)
            check(isClean(h.editor.text));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    EngineHarness h;
    hiragana::KeyActions keys(h.engine, h.state, h.speaker);
    Input in(data, size);
    while (!in.atEnd()) {
        const std::uint8_t op = in.byte();
        if (op < hiragana::KeyTable.size())
            clickKey(h, keys, op);
        else if (op < 200)
            h.editor.userTypes(typedText(in));
        else
            h.editor.caret = h.editor.text.empty() ? 0 : in.unit() % (h.editor.text.size() + 1);
    }
    return 0;
}
