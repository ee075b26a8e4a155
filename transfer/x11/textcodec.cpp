#include "textcodec.h"

#include "typedcharacters.h"

namespace hiragana::x11 {

namespace {
void appendUtf8(std::string &out, char32_t c)
{
    auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}
} // namespace

std::string ToUtf8(std::u16string_view text)
{
    std::string result;
    result.reserve(text.size() * 3);
    for (char32_t c : CodePoints(text))
        appendUtf8(result, c);
    return result;
}

} // namespace hiragana::x11
