#include "keyboardmodel.h"

namespace hiragana::testing {

namespace {
constexpr int FocusStops = 71; // the text box and the seventy keys

// The marks: a voiced kana is its base's next code point, a semi-voiced one the one after.
constexpr std::u16string_view VoicedBases = u"かきくけこさしすせそたちつてとはひふへほ";
constexpr std::u16string_view SemiVoicedBases = u"はひふへほ";

std::u16string marked(std::u16string_view kana, bool semiVoiced)
{
    const std::u16string_view bases = semiVoiced ? SemiVoicedBases : VoicedBases;
    if (kana.size() != 1 || bases.find(kana[0]) == std::u16string_view::npos)
        return {};
    return std::u16string(1, char16_t(kana[0] + (semiVoiced ? 2 : 1)));
}

// The text less its last character: a CR LF pair and a surrogate pair go as one.
std::u16string withoutLastCharacter(const std::u16string &text)
{
    if (text.empty())
        return text;
    std::size_t cut = 1;
    if (text.size() >= 2) {
        const char16_t before = text[text.size() - 2];
        const char16_t last = text.back();
        if ((before == u'\r' && last == u'\n') || (before >= 0xD800 && before < 0xDC00 && last >= 0xDC00 && last < 0xE000))
            cut = 2;
    }
    return text.substr(0, text.size() - cut);
}
} // namespace

const KeyRecord *KeyboardModel::FocusedKey() const
{
    for (const KeyRecord &key : KeyTable) {
        if (key.tabIndex == m_focus)
            return &key;
    }
    return nullptr;
}

KeyboardModel::Effect KeyboardModel::Click(const KeyRecord &key)
{
    m_focus = key.tabIndex;
    return activate(key);
}

KeyboardModel::Effect KeyboardModel::PressSpace()
{
    if (const KeyRecord *key = FocusedKey())
        return activate(*key);
    TypeIntoBox(u" ");
    return Effect::Nothing;
}

KeyboardModel::Effect KeyboardModel::PressEnter()
{
    if (const KeyRecord *key = FocusedKey())
        return activate(*key);
    TypeIntoBox(u"\n");
    return Effect::Nothing;
}

void KeyboardModel::Tab() { m_focus = (m_focus + 1) % FocusStops; }

void KeyboardModel::BackTab() { m_focus = (m_focus + FocusStops - 1) % FocusStops; }

void KeyboardModel::TypeIntoBox(std::u16string_view text)
{
    if (!BoxHasFocus())
        return;
    for (const char16_t c : text) {
        if (c == u'\n')
            m_box += u"\r\n";
        else
            m_box += c;
    }
}

KeyboardModel::Effect KeyboardModel::activate(const KeyRecord &key)
{
    switch (key.role) {
    case KeyRole::KanaKey:
        m_pending = key.produces;
        break;
    case KeyRole::VoicedMark:
        addMark(false);
        break;
    case KeyRole::SemiVoicedMark:
        addMark(true);
        break;
    case KeyRole::BackSpace:
        backSpace();
        break;
    case KeyRole::NewLine:
        newLine();
        break;
    case KeyRole::Confirm:
        confirm();
        break;
    case KeyRole::Transfer:
        return m_targetIsWord ? Effect::TransferToTarget : Effect::TransferToNone;
    case KeyRole::ReadAloud:
        m_said.push_back(m_committed);
        break;
    }
    return Effect::Nothing;
}

// An appending confirm builds on the engine's copy, so whatever was typed straight into the
// box since goes; a replacing one first takes the box, less its last character.
void KeyboardModel::confirm()
{
    if (m_pending.empty())
        return;
    if (m_replaceLast) {
        m_box = withoutLastCharacter(m_box);
        m_committed = m_box;
        m_replaceLast = false;
    }
    m_box = m_committed + m_pending;
    m_said.push_back(m_pending);
    m_lastConfirmed = m_pending;
    m_pending.clear();
    m_committed = m_box;
    caretToEnd();
}

void KeyboardModel::backSpace()
{
    if (m_box.empty())
        return;
    m_box = withoutLastCharacter(m_box);
    m_committed = m_box;
    caretToEnd();
}

void KeyboardModel::newLine()
{
    m_box = m_committed + u"\r\n";
    m_committed = m_box;
    caretToEnd();
}

// The pending kana takes the mark if it can; otherwise the last confirmed one does, replacing
// the last character at the next confirm; otherwise a pending kana is dropped.
void KeyboardModel::addMark(bool semiVoiced)
{
    if (const std::u16string own = marked(m_pending, semiVoiced); !m_pending.empty() && !own.empty()) {
        m_pending = own;
        return;
    }
    if (const std::u16string last = marked(m_lastConfirmed, semiVoiced); !last.empty()) {
        m_pending = last;
        m_replaceLast = true;
    } else if (!m_replaceLast) {
        m_pending.clear();
    }
}

} // namespace hiragana::testing
