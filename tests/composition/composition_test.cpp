// The engine in random sessions of clicks and typing, compared step by step with an independent
// model of the keys; and the cases decided on purpose, spelled out once.
#include "engineharness.h"
#include "keyactions.h"
#include "keyboardmodel.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>

using namespace hiragana;
using hiragana::testing::EngineHarness;
using hiragana::testing::KeyboardModel;

namespace {

class RandomSession {
public:
    explicit RandomSession(unsigned seed) : m_rng(seed)
    {
        // The text box shows a confirmed kana before the character says it.
        m_h.speaker.onSay = [this](const std::u16string &kana) {
            EXPECT_TRUE(m_clicked->role != KeyRole::Confirm || m_h.editor.text.ends_with(kana));
        };
    }

    void run(int steps)
    {
        // Kana keys outnumber the command keys; the command keys get a fair share.
        static constexpr std::array commands{47, 48, 63, 64, 65, 65, 65, 67, 70};
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            if (upTo(7) == 0) {
                userEdits();
                continue;
            }
            const int number = upTo(1) ? int(upTo(69)) + 1 : commands[upTo(commands.size() - 1)];
            click(KeyTable[number - 1]);
        }
    }

private:
    std::size_t upTo(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(m_rng); }

    // Typing or deleting anywhere, even between the halves of a pair or of a CR LF.
    void userEdits()
    {
        static const std::array<std::u16string, 6> pieces{u"\r", u"\n", u"\r\n", u"ab", u"か", u"\U0001F600"};
        std::u16string &text = m_h.editor.text;
        m_h.editor.caret = upTo(text.size());
        if (upTo(2) == 0) {
            text.erase(m_h.editor.caret, upTo(text.size() - m_h.editor.caret));
        } else {
            for (std::size_t n = 1 + upTo(2); n > 0; --n)
                m_h.editor.userTypes(pieces[upTo(pieces.size() - 1)]);
        }
        m_model.EditBox(text);
    }

    void click(const KeyRecord &key)
    {
        SCOPED_TRACE(std::string(key.name));
        m_clicked = &key;
        m_h.editor.focusElsewhere();
        m_h.editor.caret = upTo(m_h.editor.text.size());
        m_actions.Click(key);
        m_expectedTransfers += m_model.Click(key) != KeyboardModel::Effect::Nothing;

        ASSERT_EQ(m_h.editor.text, m_model.Box());
        ASSERT_EQ(m_h.state.CommittedText, m_model.Committed());
        ASSERT_EQ(m_h.state.PendingKana, m_model.Pending());
        ASSERT_EQ(m_h.speaker.said, m_model.Said());
        ASSERT_EQ(m_transfers, m_expectedTransfers);
        ASSERT_EQ(m_h.editor.focused, m_model.BoxHasFocus());
        ASSERT_TRUE(!m_h.editor.focused || m_h.editor.caret == m_h.editor.text.size()) << "the caret is not at the end";
    }

    std::mt19937 m_rng;
    EngineHarness m_h;
    KeyboardModel m_model;
    const KeyRecord *m_clicked = nullptr;
    int m_transfers = 0;
    int m_expectedTransfers = 0;
    KeyActions m_actions{m_h.engine, m_h.state, m_h.speaker, [this] { ++m_transfers; }};
};

TEST(Composition, RandomSessionsAgreeWithTheModel)
{
    for (unsigned seed = 1; seed <= 3000 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomSession(seed).run(60);
    }
}

// Presses separated by spaces: a command as its key's caption, "+…" typed by the user, or a kana.
void press(EngineHarness &h, std::u16string_view keys)
{
    static const std::map<std::u16string_view, void (CompositionEngine::*)()> commands{
        {u"かくてい", &CompositionEngine::Confirm},
        {u"←", &CompositionEngine::BackSpace},
        {u"↓", &CompositionEngine::NewLine},
        {u"゛", &CompositionEngine::AddVoicedMark},
        {u"゜", &CompositionEngine::AddSemiVoicedMark}};
    while (!keys.empty()) {
        const std::u16string_view key = keys.substr(0, keys.find(u' '));
        keys.remove_prefix(std::min(key.size() + 1, keys.size()));
        if (const auto command = commands.find(key); command != commands.end())
            (h.engine.*command->second)();
        else if (key.starts_with(u'+'))
            h.editor.userTypes(key.substr(1));
        else
            h.engine.ChooseKana(key);
    }
}

TEST(Composition, DecidedCases)
{
    const std::u16string Long(40000, u'あ'); // far beyond the old 16-bit limit
    const struct {
        std::u16string start, keys, text;
    } cases[]{
        // Back-space and the replacing confirm take a whole CR LF or surrogate pair, at any length;
        // halves already broken go one code unit at a time.
        {u"a\U0001F600", u"←", u"a"},
        {u"\n\r", u"←", u"\n"},
        {Long + u"\r\n", u"←", Long},
        {u"", u"か かくてい ↓ ゛ かくてい", u"かが"},
        {Long, u"か かくてい +\U0001F600 ゛ かくてい", Long + u"かが"},
        {u"a\xD83D", u"←", u"a"},
        {u"\xDE00\xD83D", u"←", u"\xDE00"},
        // The marks: the pending kana, else the kana confirmed last, else the pending one goes.
        {u"", u"か ゛ かくてい", u"が"},
        {u"", u"ひ ゜ かくてい", u"ぴ"},
        {u"", u"か かくてい う ゛ かくてい", u"が"},
        {u"", u"は かくてい ゛ ゜ かくてい", u"ぱ"},
        {u"", u"か かくてい ゛ あ かくてい", u"あ"},
        {u"", u"は ゛ ゜ かくてい", u""},
        {u"", u"あ かくてい か ゛ ゛ かくてい", u"あ"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EngineHarness h;
        h.startWith(cases[i].start);
        press(h, cases[i].keys);
        EXPECT_EQ(h.editor.text, cases[i].text) << "case " << i;
    }
}

} // namespace
