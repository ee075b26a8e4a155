#include "speechtext.h"

#include <algorithm>
#include <array>
#include <utility>

namespace hiragana {

namespace {
using namespace std::chrono_literals;

// The Japanese voice drops the rest of a word of more than about 70 kana without a sound;
// longer runs are broken well before that.
constexpr int LongestRun = 40;
constexpr std::chrono::milliseconds LineBreakPause = 400ms;
constexpr std::chrono::milliseconds LongestPause = 1200ms;

constexpr char32_t IdeographicSpace = U'\u3000';
constexpr char32_t IdeographicComma = U'、';
constexpr char32_t IdeographicFullStop = U'。';
constexpr char32_t ReplacementCharacter = U'\uFFFD';

struct SmallKana {
    char32_t small;
    char32_t large;
    bool voicedInWords; // the voice reads it after another kana (がっこう, きゃ)
};

constexpr std::array<SmallKana, 12> SmallKanaTable{{
    {U'っ', U'つ', true}, {U'ゃ', U'や', true}, {U'ゅ', U'ゆ', true}, {U'ょ', U'よ', true},
    {U'ぁ', U'あ', false}, {U'ぃ', U'い', false}, {U'ぅ', U'う', false}, {U'ぇ', U'え', false},
    {U'ぉ', U'お', false}, {U'ゎ', U'わ', false}, {U'ゕ', U'か', false}, {U'ゖ', U'け', false},
}};

constexpr std::array<std::u32string_view, 10> DigitNames{
    U"ぜろ", U"いち", U"に", U"さん", U"よん", U"ご", U"ろく", U"なな", U"はち", U"きゅう",
};

std::u32string DecodeUtf16(std::u16string_view text)
{
    std::u32string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            decoded.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            decoded.push_back(high || low ? ReplacementCharacter : char32_t(unit));
        }
    }
    return decoded;
}

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string Utf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

bool IsLineBreak(char32_t c) { return c == U'\n' || c == U'\r' || c == U'\u2028' || c == U'\u2029'; }

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == IdeographicSpace; }

// Full-width forms of the ASCII characters (！ … ～) as ASCII.
char32_t NarrowForm(char32_t c) { return c >= U'！' && c <= U'～' ? c - 0xFEE0 : c; }

bool IsAsciiPunctuation(char32_t c)
{
    return (c >= U'!' && c <= U'/') || (c >= U':' && c <= U'@') || (c >= U'[' && c <= U'`')
        || (c >= U'{' && c <= U'~');
}

bool IsPunctuation(char32_t c)
{
    return c == IdeographicComma || c == IdeographicFullStop || IsAsciiPunctuation(NarrowForm(c));
}

const SmallKana *FindSmallKana(char32_t c)
{
    const auto it = std::find_if(SmallKanaTable.begin(), SmallKanaTable.end(),
                                 [c](const SmallKana &kana) { return kana.small == c; });
    return it == SmallKanaTable.end() ? nullptr : &*it;
}

// Characters the voice says nothing for when they stand alone.
bool IsSilentAlone(char32_t c) { return IsLineBreak(c) || IsSpace(c) || IsPunctuation(c) || c == U'っ'; }

std::u32string NameOf(char32_t c)
{
    if (c == IdeographicComma)
        return U"てん";
    if (c == IdeographicFullStop)
        return U"まる";
    if (IsSpace(c))
        return U"くうはく";
    if (IsLineBreak(c))
        return U"かいぎょう";
    if (const SmallKana *kana = FindSmallKana(c))
        return std::u32string(U"ちいさい ") + kana->large;
    const char32_t narrow = NarrowForm(c);
    if (narrow >= U'0' && narrow <= U'9')
        return std::u32string(DigitNames[narrow - U'0']);
    return std::u32string(1, narrow);
}

bool IsOneCharacter(std::u32string_view text) { return text.size() == 1 || text == U"\r\n"; }

std::vector<SpeechChunk> ReadByNames(std::u32string_view text)
{
    std::u32string names;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        if (!names.empty())
            names += IdeographicComma;
        names += NameOf(text[i]);
    }
    return {SpeechChunk{Utf8(names)}};
}

// Builds the chunks of an ordinary text, one line at a time.
class ChunkBuilder {
public:
    void Add(char32_t c)
    {
        if (IsSpace(c) || IsPunctuation(c)) {
            m_run = 0;
            m_line += IsSpace(c) ? U' ' : c;
            return;
        }
        if (m_run == LongestRun) {
            m_line += U' ';
            m_run = 0;
        }
        ++m_run;
        const SmallKana *kana = FindSmallKana(c);
        m_line += kana && !kana->voicedInWords ? kana->large : NarrowForm(c);
    }

    void BreakLine()
    {
        EndLine();
        if (!m_chunks.empty())
            m_chunks.back().pauseAfter = std::min(m_chunks.back().pauseAfter + LineBreakPause, LongestPause);
    }

    std::vector<SpeechChunk> Finish()
    {
        EndLine();
        return std::move(m_chunks);
    }

private:
    void EndLine()
    {
        if (!m_line.empty())
            m_chunks.push_back(SpeechChunk{Utf8(m_line)});
        m_line.clear();
        m_run = 0;
    }

    std::vector<SpeechChunk> m_chunks;
    std::u32string m_line;
    int m_run = 0;
};

std::vector<SpeechChunk> ReadAsText(std::u32string_view text)
{
    ChunkBuilder builder;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLineBreak(text[i])) {
            builder.Add(text[i]);
            continue;
        }
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        builder.BreakLine();
    }
    return builder.Finish();
}
} // namespace

std::vector<SpeechChunk> SpeechChunks(std::u16string_view text)
{
    const std::u32string decoded = DecodeUtf16(text);
    if (decoded.empty())
        return {};
    if (IsOneCharacter(decoded) || std::all_of(decoded.begin(), decoded.end(), IsSilentAlone))
        return ReadByNames(decoded);
    return ReadAsText(decoded);
}

} // namespace hiragana
