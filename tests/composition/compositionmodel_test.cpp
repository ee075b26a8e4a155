// Random sequences of key clicks and typing into the text box, checked step by step against
// a plain model of what the keyboard should do and against the engine's invariants.
#include "engineharness.h"
#include "keyactions.h"
#include "keyboardmodel.h"
#include "keytable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace hiragana;
using hiragana::testing::EngineHarness;
using hiragana::testing::KeyboardModel;

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

// The text the click builds its new text on, if it changes the text at all.
std::optional<std::u16string> source(const KeyboardModel &model, const KeyRecord &key)
{
    switch (key.role) {
    case KeyRole::BackSpace:
        return model.Box().empty() ? std::nullopt : std::optional(model.Box());
    case KeyRole::NewLine:
        return model.Committed();
    case KeyRole::Confirm:
        if (model.Pending().empty())
            return std::nullopt;
        return model.ReplacesLast() ? model.Box() : model.Committed();
    default:
        return std::nullopt;
    }
}

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
        m_model.EditBox(text);
    }

    void click(const KeyRecord &key)
    {
        SCOPED_TRACE(std::string(key.name));
        m_h.editor.focusElsewhere();
        m_h.editor.caret = upTo(m_h.editor.text.size());
        const int writesBefore = m_h.editor.textWrites;
        const std::optional<std::u16string> before = source(m_model, key);

        m_actions.Click(key);
        if (m_model.Click(key) != KeyboardModel::Effect::Nothing)
            ++m_expectedTransfers;

        const Hiramod &s = m_h.state;
        ASSERT_EQ(s.VoicedPending, 0);
        if (s.PendingKana.empty()) {
            ASSERT_EQ(s.ReplaceLast, 0);
        }
        ASSERT_EQ(m_h.editor.text, m_model.Box());
        ASSERT_EQ(s.CommittedText, m_model.Committed());
        ASSERT_EQ(s.PendingKana, m_model.Pending());
        ASSERT_EQ(s.LastConfirmed, m_model.LastConfirmed());
        ASSERT_EQ(s.ReplaceLast, m_model.ReplacesLast() ? 1 : 0);
        ASSERT_EQ(m_h.speaker.said, m_model.Said());
        ASSERT_EQ(m_transfers, m_expectedTransfers);
        ASSERT_EQ(m_h.editor.focused, m_model.BoxHasFocus());
        if (before) {
            ASSERT_EQ(s.CommittedText, m_h.editor.text);
            ASSERT_EQ(m_h.editor.caret, m_h.editor.text.size());
            ASSERT_LE(brokenCharacters(m_h.editor.text), brokenCharacters(*before));
        } else {
            ASSERT_EQ(m_h.editor.textWrites, writesBefore);
        }
    }

    std::mt19937 m_rng;
    EngineHarness m_h;
    KeyboardModel m_model;
    int m_transfers = 0;
    int m_expectedTransfers = 0;
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
