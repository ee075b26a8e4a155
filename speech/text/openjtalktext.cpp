#include "openjtalktext.h"

#include "kanatext.h"
#include "unicode.h"

#include <algorithm>

namespace hiragana {

namespace {
using namespace std::chrono_literals;
using namespace kanatext;

// Past about 30 kana without a pause, open_jtalk draws every sound out to half a second.
constexpr std::size_t LongestRun = 20;
// The first piece of a text is short, so that its sound comes soon.
constexpr std::size_t FirstRun = 8;
// Characters to a line: enough for a few stretches, little enough to be made while the line
// before plays.
constexpr std::size_t MostCharacters = 60;
// open_jtalk's own pauses (about 0.4 s) are trimmed off a chunk's end; these stand in for them.
constexpr std::chrono::milliseconds PunctuationPause = 300ms;
constexpr std::chrono::milliseconds LineBreakPause = 400ms;
constexpr std::chrono::milliseconds LongestPause = 1200ms;

constexpr char32_t LongVowelMark = U'ー';

bool IsSeparator(char32_t c) { return IsSpace(c) || IsPunctuation(c); }

bool IsDropped(char32_t c)
{
    return (c < U' ' && c != U'\t') || (c >= U'\x7F' && c <= U'\x9F') || c == ReplacementCharacter;
}

// Marks that belong to the sound before them: a run is never split in front of one.
bool LeansOnTheOneBefore(char32_t c)
{
    return c == LongVowelMark || FindSmallKana(c) || c == U'゛' || c == U'゜' || c == U'\u3099' || c == U'\u309A';
}

char32_t Katakana(char32_t c) { return c >= U'ぁ' && c <= U'ゖ' ? c + (U'ァ' - U'ぁ') : c; }

std::u32string NameOf(char32_t c)
{
    if (const std::u32string_view pause = NameOfPause(c); !pause.empty())
        return std::u32string(pause);
    if (c == LongVowelMark)
        return U"ちょうおん";
    if (const SmallKana *kana = FindSmallKana(c))
        return U"ちいさい" + std::u32string(1, Katakana(kana->large));
    return std::u32string(1, Katakana(c));
}

std::vector<OpenJtalkChunk> ReadByNames(std::u32string_view text)
{
    return {OpenJtalkChunk{EncodeUtf8(Names(text, NameOf)), EncodeUtf16(text)}};
}

// A line as open_jtalk gets it: no control characters, each run of pauses one pause, none first.
std::u32string Cleaned(std::u32string_view line)
{
    std::u32string cleaned;
    for (char32_t c : line) {
        if (IsDropped(c) || (IsSeparator(c) && (cleaned.empty() || IsSeparator(cleaned.back()))))
            continue;
        cleaned += c == U'\t' ? U' ' : c;
    }
    return cleaned;
}

// A stretch of a line: characters, then the pause after them unless the run was split there.
struct Piece {
    std::u32string text;
    std::size_t characters = 0;
    bool endsInPause = false;
};

// Where a run is split: after its first part of at most firstPart characters, then into equal
// parts of at most LongestRun, each split moved past the marks that belong to the character
// before (two at most: a run of nothing but marks is split all the same).
std::vector<std::size_t> SplitPoints(std::u32string_view run, std::size_t firstPart)
{
    std::vector<std::size_t> points;
    const auto split = [&](std::size_t at) {
        for (const std::size_t most = at + 2; at < most && at < run.size() && LeansOnTheOneBefore(run[at]);)
            ++at;
        if (at < run.size() && (points.empty() || at > points.back()))
            points.push_back(at);
    };
    if (run.size() > firstPart)
        split(firstPart);
    const std::size_t from = points.empty() ? 0 : points.back();
    const std::size_t parts = (run.size() - from + LongestRun - 1) / LongestRun;
    for (std::size_t part = 1; part < parts; ++part)
        split(from + part * (run.size() - from) / parts);
    return points;
}

// The pieces of a line; the first run's first piece holds at most firstPart characters.
std::vector<Piece> Pieces(std::u32string_view line, std::size_t firstPart)
{
    std::vector<Piece> pieces;
    for (std::size_t begin = 0; begin < line.size();) {
        const auto separator = std::find_if(line.begin() + std::ptrdiff_t(begin), line.end(), IsSeparator);
        const std::size_t runEnd = std::size_t(separator - line.begin());
        const std::size_t end = runEnd < line.size() ? runEnd + 1 : runEnd;
        const std::u32string_view run = line.substr(begin, runEnd - begin);
        std::size_t from = 0;
        for (std::size_t to : SplitPoints(run, pieces.empty() ? firstPart : LongestRun)) {
            pieces.push_back({std::u32string(run.substr(from, to - from)), to - from, false});
            from = to;
        }
        pieces.push_back({std::u32string(line.substr(begin + from, end - begin - from)), run.size() - from, end > runEnd});
        begin = end;
    }
    return pieces;
}

// Puts the pieces of each line into chunks.
class ChunkBuilder {
public:
    void Add(const Piece &piece)
    {
        const std::string line = EncodeUtf8(piece.text);
        if (!m_open || m_characters + piece.characters > MostCharacters
            || m_chunks.back().line.size() + line.size() > OpenJtalkLineBytes) {
            m_chunks.emplace_back();
            m_characters = 0;
        }
        OpenJtalkChunk &chunk = m_chunks.back();
        chunk.line += line;
        chunk.source += EncodeUtf16(piece.text);
        chunk.pauseAfter = piece.endsInPause ? PunctuationPause : 0ms;
        m_characters += piece.characters;
        m_open = piece.endsInPause && m_chunks.size() > 1;
    }

    void BreakLine()
    {
        m_open = false;
        if (!m_chunks.empty())
            m_chunks.back().pauseAfter = std::min(m_chunks.back().pauseAfter + LineBreakPause, LongestPause);
    }

    bool IsEmpty() const { return m_chunks.empty(); }
    std::vector<OpenJtalkChunk> Finish() { return std::move(m_chunks); }

private:
    std::vector<OpenJtalkChunk> m_chunks;
    std::size_t m_characters = 0;
    bool m_open = false;
};

std::vector<OpenJtalkChunk> ReadAsText(std::u32string_view text)
{
    ChunkBuilder builder;
    for (std::size_t begin = 0; begin <= text.size();) {
        const auto lineBreak = std::find_if(text.begin() + std::ptrdiff_t(begin), text.end(), IsLineBreak);
        const std::size_t end = std::size_t(lineBreak - text.begin());
        const std::size_t firstPart = builder.IsEmpty() ? FirstRun : LongestRun;
        for (const Piece &piece : Pieces(Cleaned(text.substr(begin, end - begin)), firstPart))
            builder.Add(piece);
        if (end == text.size())
            break;
        builder.BreakLine();
        begin = end + (text.substr(end, 2) == U"\r\n" ? 2 : 1);
    }
    return builder.Finish();
}

bool IsSilentAloneHere(char32_t c) { return IsSilentAlone(c) || c == LongVowelMark; }
} // namespace

std::vector<OpenJtalkChunk> OpenJtalkChunks(std::u16string_view text)
{
    return Read(text, IsSilentAloneHere, ReadByNames, ReadAsText);
}

} // namespace hiragana
