// Random sequences of key clicks and typing into the text box, checked step by step against
// a plain model of what the keyboard should do and against the engine's invariants.
#include "engineharness.h"
#include "keyactions.h"
#include "keytable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace hiragana;
using hiragana::testing::EngineHarness;

namespace {

bool isHigh(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool isLow(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// Lone carriage returns and surrogate halves without their partner.
int brokenCharacters(std::u16string_view text)
{
    int broken = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool hasNext = i + 1 < text.size();
        if (text[i] == u'\r' && !(hasNext && text[i + 1] == u'\n'))
            ++broken;
        if (isHigh(text[i]) && !(hasNext && isLow(text[i + 1])))
            ++broken;
        if (isLow(text[i]) && !(i > 0 && isHigh(text[i - 1])))
            ++broken;
    }
    return broken;
}

// What the keyboard should do, worked out the plain way.
struct Model {
    std::u16string text;
    std::u16string committed;
    std::u16string pending;
    std::u16string lastConfirmed;
    bool replaceLast = false;
    std::vector<std::u16string> said;
    int transfers = 0;

    static std::u16string withoutLastCharacter(std::u16string t)
    {
        const std::size_t n = t.size();
        const bool pair = n >= 2 && (t.ends_with(u"\r\n") || (isHigh(t[n - 2]) && isLow(t[n - 1])));
        t.resize(n - std::min<std::size_t>(n, pair ? 2 : 1));
        return t;
    }

    // か→が is the next code point, は→ぱ the one after; only these bases have marked forms.
    static std::u16string marked(const std::u16string &s, KeyRole mark)
    {
        const std::u16string_view bases = mark == KeyRole::VoicedMark
            ? u"かきくけこさしすせそたちつてとはひふへほ" : u"はひふへほ";
        if (s.size() != 1 || bases.find(s[0]) == std::u16string_view::npos)
            return {};
        return std::u16string(1, char16_t(s[0] + (mark == KeyRole::VoicedMark ? 1 : 2)));
    }

    void write(std::u16string newText) { text = committed = std::move(newText); }

    void click(const KeyRecord &key)
    {
        switch (key.role) {
        case KeyRole::KanaKey:
            pending = key.produces;
            break;
        case KeyRole::VoicedMark:
        case KeyRole::SemiVoicedMark:
            if (!marked(pending, key.role).empty()) {
                pending = marked(pending, key.role);
            } else if (!marked(lastConfirmed, key.role).empty()) {
                pending = marked(lastConfirmed, key.role);
                replaceLast = true;
            } else if (!replaceLast) {
                pending.clear();
            }
            break;
        case KeyRole::BackSpace:
            if (!text.empty())
                write(withoutLastCharacter(text));
            break;
        case KeyRole::NewLine:
            write(committed + u"\r\n");
            break;
        case KeyRole::Confirm:
            if (pending.empty())
                break;
            if (replaceLast)
                committed = withoutLastCharacter(text);
            replaceLast = false;
            write(committed + pending);
            said.push_back(pending);
            lastConfirmed = std::exchange(pending, {});
            break;
        case KeyRole::Transfer:
            ++transfers;
            break;
        case KeyRole::ReadAloud:
            said.push_back(committed);
            break;
        }
    }

    // The text the click builds its new text on, if it changes the text at all.
    const std::u16string *source(const KeyRecord &key) const
    {
        switch (key.role) {
        case KeyRole::BackSpace: return text.empty() ? nullptr : &text;
        case KeyRole::NewLine: return &committed;
        case KeyRole::Confirm: return pending.empty() ? nullptr : replaceLast ? &text : &committed;
        default: return nullptr;
        }
    }
};

class RandomSession {
public:
    explicit RandomSession(unsigned seed)
        : m_rng(seed)
    {
    }

    void run(int steps, std::array<int, 70> &clicksPerKey)
    {
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            if (chance(1, 8)) {
                userEdits();
            } else {
                const KeyRecord &key = pickKey();
                ++clicksPerKey[key.tabIndex - 1];
                click(key);
            }
        }
    }

private:
    bool chance(int in, int of) { return std::uniform_int_distribution(1, of)(m_rng) <= in; }
    std::size_t upTo(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(m_rng); }

    // Kana keys by far outnumber the command keys; give the command keys a fair share.
    const KeyRecord &pickKey()
    {
        if (chance(1, 2))
            return KeyTable[upTo(KeyTable.size() - 1)];
        static constexpr std::array commands{47, 48, 63, 64, 65, 65, 65, 67, 70};
        return KeyTable[commands[upTo(commands.size() - 1)] - 1];
    }

    std::u16string randomSnippet()
    {
        static const std::array<std::u16string, 5> pieces{u"\r", u"\n", u"\r\n", u"ab", u"か"};
        std::u16string snippet;
        for (std::size_t n = 1 + upTo(3); n > 0; --n) {
            if (chance(1, 4))
                snippet += std::u16string{char16_t(0xD83D), char16_t(0xDE00 + upTo(0x4F))};
            else
                snippet += pieces[upTo(pieces.size() - 1)];
        }
        return snippet;
    }

    // Typing or deleting anywhere, even between the halves of a pair: the user may break the
    // text, but no key may break it further.
    void userEdits()
    {
        std::u16string &text = m_h.editor.text;
        m_h.editor.caret = upTo(text.size());
        if (chance(1, 3)) {
            const std::size_t from = m_h.editor.caret;
            text.erase(from, upTo(text.size() - from));
        } else {
            m_h.editor.userTypes(randomSnippet());
        }
        m_model.text = text;
    }

    void click(const KeyRecord &key)
    {
        SCOPED_TRACE(std::string(key.name));
        m_h.editor.focusElsewhere();
        m_h.editor.caret = upTo(m_h.editor.text.size());
        const int writesBefore = m_h.editor.textWrites;
        const std::u16string *source = m_model.source(key);
        const int brokenBefore = source ? brokenCharacters(*source) : 0;

        m_actions.Click(key);
        m_model.click(key);

        const Hiramod &s = m_h.state;
        ASSERT_EQ(s.VoicedPending, 0);
        if (s.PendingKana.empty()) {
            ASSERT_EQ(s.ReplaceLast, 0);
        }
        ASSERT_EQ(m_h.editor.text, m_model.text);
        ASSERT_EQ(s.CommittedText, m_model.committed);
        ASSERT_EQ(s.PendingKana, m_model.pending);
        ASSERT_EQ(s.LastConfirmed, m_model.lastConfirmed);
        ASSERT_EQ(s.ReplaceLast, m_model.replaceLast ? 1 : 0);
        ASSERT_EQ(m_h.speaker.said, m_model.said);
        ASSERT_EQ(m_transfers, m_model.transfers);
        if (source) {
            ASSERT_EQ(s.CommittedText, m_h.editor.text);
            ASSERT_TRUE(m_h.editor.focused);
            ASSERT_EQ(m_h.editor.caret, m_h.editor.text.size());
            ASSERT_LE(brokenCharacters(m_h.editor.text), brokenBefore);
        } else {
            ASSERT_EQ(m_h.editor.textWrites, writesBefore);
            ASSERT_FALSE(m_h.editor.focused);
        }
    }

    std::mt19937 m_rng;
    EngineHarness m_h;
    Model m_model;
    int m_transfers = 0;
    KeyActions m_actions{m_h.engine, m_h.state, m_h.speaker, [this] { ++m_transfers; }};
};

TEST(CompositionModel, RandomSessionsAgreeWithTheModel)
{
    std::array<int, 70> clicksPerKey{};
    for (unsigned seed = 1; seed <= 3000 && !HasFatalFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomSession(seed).run(60, clicksPerKey);
    }
    for (const KeyRecord &key : KeyTable)
        EXPECT_GT(clicksPerKey[key.tabIndex - 1], 0) << key.name;
}

} // namespace
