#include "randomtext.h"

#include <QString>

#include <array>

namespace hiragana::soak {

namespace {
constexpr std::u32string_view PasteAlphabet =
    U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,!?-+*/()[]{}<>@#$%&=~^|:;'\"\\`_"
    U"あいうえおかがきくけこさざしすせそたちっつてとなにぬねのはばぱひふへほまみむめもゃやゅゆょよらりるれろわをん"
    U"、。\u3000漢字日本語🎌😀👍\n";
constexpr std::u32string_view TypedAlphabet = U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::u32string randomText(std::mt19937 &random, std::u32string_view alphabet, std::size_t length)
{
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::u32string text;
    for (std::size_t i = 0; i < length; ++i)
        text += alphabet[pick(random)];
    return text;
}
} // namespace

std::u16string RandomPasteText(std::mt19937 &random, std::size_t length)
{
    return ToUtf16(randomText(random, PasteAlphabet, length));
}

std::u32string RandomTypedText(std::mt19937 &random, std::size_t length)
{
    static const std::u32string alphabet = std::u32string(TypedAlphabet) + std::u32string(BoundCharacters);
    return randomText(random, alphabet, length);
}

std::u16string ToUtf16(std::u32string_view text)
{
    return QString::fromUcs4(text.data(), qsizetype(text.size())).toStdU16String();
}

std::string ToUtf8(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size())).toStdString();
}

std::string AsReceived(std::u16string_view text, std::string_view lineBreak)
{
    std::u16string withoutBreaks;
    std::string result;
    const auto flush = [&] {
        result += ToUtf8(withoutBreaks);
        withoutBreaks.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            withoutBreaks += text[i];
            continue;
        }
        flush();
        result += lineBreak;
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    flush();
    return result;
}

} // namespace hiragana::soak
