#include "keystrokes.h"
#include "textcodec.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace hiragana::x11;

namespace {

constexpr Keysym Return = ReturnKeysym;

Keysym unicode(char32_t c)
{
    return 0x01000000 | c;
}

struct KeysymCase {
    std::u16string text;
    std::vector<Keysym> keys;
};

class KeysymsForTextTest : public ::testing::TestWithParam<KeysymCase> {};

TEST_P(KeysymsForTextTest, OneKeyPerCharacter)
{
    EXPECT_EQ(KeysymsForText(GetParam().text), GetParam().keys) << ToUtf8(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeysymsForTextTest,
    ::testing::Values(
        KeysymCase{u"", {}},
        // Kana, full-width digits, marks and the ideographic space as Unicode keysyms, never kana_*.
        KeysymCase{u"がっ１、。\u3000", {unicode(u'が'), unicode(u'っ'), unicode(u'１'), unicode(u'、'), unicode(u'。'), unicode(0x3000)}},
        // Every kind of line break is one Return, in its place.
        KeysymCase{u"あ\r\nい\rう\nえ", {unicode(u'あ'), Return, unicode(u'い'), Return, unicode(u'う'), Return, unicode(u'え')}},
        KeysymCase{u"\r\n\r\n", {Return, Return}},
        KeysymCase{u"\n\r", {Return, Return}},
        KeysymCase{u"\r\r\n", {Return, Return}},
        // ASCII and Latin-1 keep their own keysyms; nothing is a key name or a modifier.
        KeysymCase{u"A+{ENTER}~", {'A', '+', '{', 'E', 'N', 'T', 'E', 'R', '}', '~'}},
        KeysymCase{u"\té ", {TabKeysym, 0xE9, ' '}},
        // A surrogate pair is one character; a lone half stands for U+FFFD.
        KeysymCase{u"😀", {unicode(0x1F600)}},
        KeysymCase{u"\xD83Dあ\xDE00", {unicode(0xFFFD), unicode(u'あ'), unicode(0xFFFD)}}));

TEST(TextCodec, ConvertsToUtf8)
{
    EXPECT_EQ(ToUtf8(u"メールを\u3000書く"), "メールを\u3000書く");
    EXPECT_EQ(ToUtf8(u"Word😀"), "Word\U0001F600");
}

// Runs the batches and checks what any split must guarantee.
void expectSoundBatches(const std::vector<Keysym> &keys, const std::vector<Batch> &batches,
                        const std::set<Keysym> &keymap, std::size_t slots)
{
    std::size_t next = 0;
    for (const Batch &batch : batches) {
        EXPECT_EQ(batch.begin, next);
        EXPECT_GT(batch.end, batch.begin);
        EXPECT_LE(batch.unbound.size(), slots);
        const std::set<Keysym> unbound(batch.unbound.begin(), batch.unbound.end());
        EXPECT_EQ(unbound.size(), batch.unbound.size()) << "each keysym once";
        for (std::size_t i = batch.begin; i < batch.end; ++i)
            EXPECT_TRUE(keymap.contains(keys[i]) || unbound.contains(keys[i])) << i;
        for (Keysym keysym : batch.unbound)
            EXPECT_FALSE(keymap.contains(keysym));
        next = batch.end;
    }
    EXPECT_EQ(next, keys.size());
}

TEST(SplitIntoBatches, CutsWhereTheSlotsRunOut)
{
    const std::set<Keysym> keymap{'a', Return};
    const auto inKeymap = [&](Keysym k) { return keymap.contains(k); };
    const std::vector<Keysym> keys = KeysymsForText(u"aあいあaう\r\nえいお");

    const auto batches = SplitIntoBatches(keys, inKeymap, 2);

    ASSERT_TRUE(batches);
    ASSERT_EQ(batches->size(), 3u);
    EXPECT_EQ((*batches)[0].unbound, (std::vector<Keysym>{unicode(u'あ'), unicode(u'い')}));
    EXPECT_EQ((*batches)[1].begin, 5u); // う
    EXPECT_EQ((*batches)[1].unbound, (std::vector<Keysym>{unicode(u'う'), unicode(u'え')}));
    EXPECT_EQ((*batches)[2].unbound, (std::vector<Keysym>{unicode(u'い'), unicode(u'お')}));
    expectSoundBatches(keys, *batches, keymap, 2);
}

TEST(SplitIntoBatches, ManyDistinctCharactersInFewSlots)
{
    std::u16string text;
    for (char16_t c = u'ぁ'; c <= u'ゖ'; ++c)
        text += std::u16string{c, u'a', c};
    const std::set<Keysym> keymap{'a'};
    const std::vector<Keysym> keys = KeysymsForText(text);

    for (std::size_t slots : {1u, 7u, 38u, 200u}) {
        SCOPED_TRACE(slots);
        const auto batches = SplitIntoBatches(keys, [&](Keysym k) { return keymap.contains(k); }, slots);
        ASSERT_TRUE(batches);
        expectSoundBatches(keys, *batches, keymap, slots);
        EXPECT_EQ(batches->size(), (86 + slots - 1) / slots);
    }
}

TEST(SplitIntoBatches, TextTheKeymapTypesNeedsNoSlots)
{
    const std::vector<Keysym> keys = KeysymsForText(u"Hello\r\n");
    const auto batches = SplitIntoBatches(keys, [](Keysym) { return true; }, 0);

    ASSERT_TRUE(batches);
    ASSERT_EQ(batches->size(), 1u);
    EXPECT_TRUE(batches->front().unbound.empty());
}

TEST(SplitIntoBatches, ImpossibleWithoutSlots)
{
    const std::vector<Keysym> keys = KeysymsForText(u"aあ");
    EXPECT_FALSE(SplitIntoBatches(keys, [](Keysym k) { return k == 'a'; }, 0));
    EXPECT_TRUE(SplitIntoBatches({}, [](Keysym) { return false; }, 0)->empty());
}

} // namespace
