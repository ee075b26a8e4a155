#include "linebreaks.h"

namespace hiragana {

namespace {
constexpr char16_t CarriageReturn = u'\r';
constexpr char16_t LineFeed = u'\n';

bool isLineBreakAt(std::u16string_view text, std::size_t i)
{
    return text[i] == CarriageReturn && i + 1 < text.size() && text[i + 1] == LineFeed;
}
} // namespace

QString ToDocumentText(std::u16string_view text)
{
    QString document;
    document.reserve(static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLineBreakAt(text, i)) {
            document.append(QChar(LineFeed));
            ++i;
        } else if (text[i] == CarriageReturn) {
            document.append(QChar::LineSeparator);
        } else {
            document.append(QChar(text[i]));
        }
    }
    return document;
}

std::u16string FromDocumentText(const QString &raw)
{
    std::u16string text;
    text.reserve(static_cast<std::size_t>(raw.size()));
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator)
            text.append(u"\r\n");
        else if (c == QChar::LineSeparator)
            text.push_back(CarriageReturn);
        else
            text.push_back(c.unicode());
    }
    return text;
}

std::size_t DocumentLength(std::u16string_view text)
{
    std::size_t length = text.size();
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (isLineBreakAt(text, i))
            --length;
    }
    return length;
}

int DocumentPosition(std::u16string_view text, std::size_t offset)
{
    if (offset > text.size())
        offset = text.size();
    if (PartsLineBreak(text, offset))
        ++offset;
    return static_cast<int>(DocumentLength(text.substr(0, offset)));
}

bool PartsLineBreak(std::u16string_view text, std::size_t offset)
{
    return offset > 0 && offset < text.size() && isLineBreakAt(text, offset - 1);
}

} // namespace hiragana
