#pragma once

// What the tests give the program's parts to say and to type.
#include "keytable.h"
#include "voicingmarks.h"

#include <string>
#include <vector>

namespace hiragana::testing {

// Every key's string and every marked kana, each on its own.
inline std::vector<std::u16string> KeyTexts()
{
    std::vector<std::u16string> texts;
    for (const KeyRecord &key : KeyTable) {
        if (key.role == KeyRole::KanaKey)
            texts.emplace_back(key.produces);
    }
    for (const MarkTable table : {MarkTable(VoicedMarkTable), MarkTable(SemiVoicedMarkTable)}) {
        for (const MarkPair &pair : table)
            texts.emplace_back(pair.marked);
    }
    return texts;
}

// The key texts, each kind of line break, ASCII with and without Shift, an emoji and a lone
// surrogate: far more different characters than one batch of typed keys holds.
inline std::u16string EveryKindOfText()
{
    std::u16string text;
    for (const std::u16string &key : KeyTexts())
        text += key;
    return text + u"\r\nHello, World! ~!@#$%^&*()_+{}|:\"<>? `1234567890-=[]\\;',./\r😀\xD800、、ああ\nおわり。";
}

// As many different characters as asked, none of which a keyboard map holds.
inline std::u16string DistinctCharacters(std::size_t count)
{
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i)
        text += char16_t(u'\u4E00' + i);
    return text;
}

} // namespace hiragana::testing
