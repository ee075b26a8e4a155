#include "speechtext.h"

#include "kanatext.h"
#include "unicode.h"

#include <algorithm>
#include <array>
#include <utility>

namespace hiragana {

namespace {
using namespace std::chrono_literals;
using namespace kanatext;

// The Japanese voice drops the rest of a word of more than about 70 kana without a sound;
// longer runs are broken well before that.
constexpr int LongestRun = 40;
constexpr std::chrono::milliseconds LineBreakPause = 400ms;
constexpr std::chrono::milliseconds LongestPause = 1200ms;

constexpr std::array<std::u32string_view, 10> DigitNames{
    U"ぜろ", U"いち", U"に", U"さん", U"よん", U"ご", U"ろく", U"なな", U"はち", U"きゅう",
};

std::u32string NameOf(char32_t c)
{
    if (const std::u32string_view pause = NameOfPause(c); !pause.empty())
        return std::u32string(pause);
    if (const SmallKana *kana = FindSmallKana(c))
        return std::u32string(U"ちいさい ") + kana->large;
    const char32_t narrow = NarrowForm(c);
    if (narrow >= U'0' && narrow <= U'9')
        return std::u32string(DigitNames[narrow - U'0']);
    return std::u32string(1, narrow);
}

std::vector<SpeechChunk> ReadByNames(std::u32string_view text)
{
    return {SpeechChunk{EncodeUtf8(Names(text, NameOf))}};
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
            m_chunks.push_back(SpeechChunk{EncodeUtf8(m_line)});
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
    return Read(text, IsSilentAlone, ReadByNames, ReadAsText);
}

} // namespace hiragana
