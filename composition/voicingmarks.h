#pragma once

#include <array>
#include <span>
#include <string_view>

namespace hiragana {

// One row of a voicing-mark table: a kana and its marked form.
struct MarkPair {
    std::u16string_view base;
    std::u16string_view marked;
};

using MarkTable = std::span<const MarkPair>;

// か→が … ほ→ぼ, in table order.
inline constexpr std::array<MarkPair, 20> VoicedMarkTable{{
    {u"か", u"が"}, {u"き", u"ぎ"}, {u"く", u"ぐ"}, {u"け", u"げ"}, {u"こ", u"ご"},
    {u"さ", u"ざ"}, {u"し", u"じ"}, {u"す", u"ず"}, {u"せ", u"ぜ"}, {u"そ", u"ぞ"},
    {u"た", u"だ"}, {u"ち", u"ぢ"}, {u"つ", u"づ"}, {u"て", u"で"}, {u"と", u"ど"},
    {u"は", u"ば"}, {u"ひ", u"び"}, {u"ふ", u"ぶ"}, {u"へ", u"べ"}, {u"ほ", u"ぼ"},
}};

// は→ぱ … ほ→ぽ, in table order.
inline constexpr std::array<MarkPair, 5> SemiVoicedMarkTable{{
    {u"は", u"ぱ"}, {u"ひ", u"ぴ"}, {u"ふ", u"ぷ"}, {u"へ", u"ぺ"}, {u"ほ", u"ぽ"},
}};

} // namespace hiragana
