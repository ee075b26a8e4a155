#include "keyboardmodel.h"
#include "unicode.h"

#include <utility>

namespace hiragana::testing {

namespace {
enum : int { Voiced = 47, SemiVoiced = 48, BackSpace = 63, NewLine = 64, Confirm = 65, Transfer = 67, ReadAloud = 70 };

// What each key chooses, by key number; '*' where a command key stands.
constexpr std::u16string_view Chosen = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
                                       u"**ゃゅょ１２３４５６７８９０\u3000***っ*。、*";
static_assert(Chosen.size() == KeyboardModel::Keys);

// The rows of keys from the top, by key number from left to right; 0 where none stands.
constexpr int Columns[12] = {120, 1080, 2160, 3120, 4080, 5040, 6000, 6960, 7920, 8880, 9840, 10800};
constexpr int RowTops[8] = {120, 1200, 2280, 3240, 4200, 5160, 6120, 7200};
constexpr int Rows[8][12] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 63, 64},        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 65, 0},
    {48, 47, 44, 39, 36, 31, 26, 21, 16, 11, 6, 1}, {66, 49, 45, 40, 0, 32, 27, 22, 17, 12, 7, 2},
    {69, 50, 46, 41, 37, 33, 28, 23, 18, 13, 8, 3}, {68, 51, 62, 42, 0, 34, 29, 24, 19, 14, 9, 4},
    {0, 0, 0, 43, 38, 35, 30, 25, 20, 15, 10, 5},   {70, 0, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61},
};

// A voiced kana is its base's next code point, a semi-voiced one the one after.
std::u16string marked(std::u16string_view kana, bool semiVoiced)
{
    const std::u16string_view bases = semiVoiced ? u"はひふへほ" : u"かきくけこさしすせそたちつてとはひふへほ";
    if (kana.size() != 1 || bases.find(kana[0]) == std::u16string_view::npos)
        return {};
    return std::u16string(1, char16_t(kana[0] + (semiVoiced ? 2 : 1)));
}

// The text less its last character: a CR LF pair and a surrogate pair go as one.
std::u16string withoutLastCharacter(const std::u16string &text)
{
    const std::size_t n = text.size();
    const bool pair = n >= 2
        && ((text[n - 2] == u'\r' && text[n - 1] == u'\n')
            || (IsHighSurrogate(text[n - 2]) && IsLowSurrogate(text[n - 1])));
    return text.substr(0, n - (n == 0 ? 0 : pair ? 2 : 1));
}
} // namespace

KeyPlace PlaceOf(int number)
{
    const int width = number == Confirm || number == Transfer || number == ReadAloud ? 1935 : 975;
    if (number == Transfer)
        return {120, 6240, width, 975}; // 120 twips below its row, just above read-aloud
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 12; ++column) {
            if (Rows[row][column] == number)
                return {Columns[column], RowTops[row], width, 975};
        }
    }
    return {};
}

std::uint32_t KeyboardModel::Face(int number) const
{
    const bool punctuation = number == 68 || number == 69;
    if (number == m_focus && (number < BackSpace || number == 66 || punctuation))
        return 0xFF0000; // red
    if (number >= 52 && number <= 61)
        return 0xC0FFC0; // green digits
    if (punctuation)
        return 0xFF80FF; // pink
    return number == Confirm ? 0xFFC080 : number == Transfer || number == ReadAloud ? 0xC0C0FF : 0xFFFF80;
}

KeyboardModel::Effect KeyboardModel::Click(int number)
{
    m_focus = number;
    switch (number) {
    case Voiced: addMark(false); break;
    case SemiVoiced: addMark(true); break;
    case BackSpace:
        if (!m_box.empty())
            write(withoutLastCharacter(m_box));
        break;
    case NewLine: write(m_committed + u"\r\n"); break;
    case Confirm: confirm(); break;
    case Transfer: return m_targetIsWord ? Effect::TransferToTarget : Effect::TransferToNone;
    case ReadAloud: m_said.push_back(m_committed); break;
    default: m_pending = std::u16string(1, Chosen[std::size_t(number - 1)]);
    }
    return Effect::Nothing;
}

KeyboardModel::Effect KeyboardModel::Press(char16_t key)
{
    TypeIntoBox(std::u16string_view(&key, 1));
    return BoxHasFocus() ? Effect::Nothing : Click(m_focus);
}

void KeyboardModel::TypeIntoBox(std::u16string_view text)
{
    for (const char16_t c : text) {
        if (BoxHasFocus())
            m_box += c == u'\n' ? std::u16string_view(u"\r\n") : std::u16string_view(&c, 1);
    }
}

void KeyboardModel::write(std::u16string text)
{
    m_box = m_committed = std::move(text);
    m_focus = 0;
}

// An appending confirm builds on the engine's copy, so whatever was typed straight into the
// box since goes; a replacing one takes the box, less its last character.
void KeyboardModel::confirm()
{
    if (m_pending.empty())
        return;
    if (std::exchange(m_replaceLast, false))
        m_committed = withoutLastCharacter(m_box);
    write(m_committed + m_pending);
    m_said.push_back(m_pending);
    m_lastConfirmed = std::exchange(m_pending, {});
}

// The pending kana takes the mark if it can; otherwise the last confirmed one does, replacing
// the last character at the next confirm; otherwise a pending kana is dropped.
void KeyboardModel::addMark(bool semiVoiced)
{
    if (const std::u16string own = marked(m_pending, semiVoiced); !own.empty()) {
        m_pending = own;
    } else if (const std::u16string last = marked(m_lastConfirmed, semiVoiced); !last.empty()) {
        m_pending = last;
        m_replaceLast = true;
    } else if (!m_replaceLast) {
        m_pending.clear();
    }
}

} // namespace hiragana::testing
