#include "titlematch.h"

#include <array>

namespace hiragana::x11 {

namespace {
using Match = bool (*)(std::string_view candidate, std::string_view title);

bool equals(std::string_view candidate, std::string_view title) { return candidate == title; }
bool beginsWith(std::string_view candidate, std::string_view title) { return candidate.starts_with(title); }
bool endsWith(std::string_view candidate, std::string_view title) { return candidate.ends_with(title); }

constexpr std::array<Match, 3> MatchesByRank{equals, beginsWith, endsWith};
} // namespace

std::optional<unsigned long> ChooseTarget(std::span<const TitledWindow> bottomToTop, std::string_view title)
{
    if (title.empty())
        return std::nullopt;
    for (Match matches : MatchesByRank) {
        // Topmost first: the last window of the stacking order wins a tie.
        for (auto candidate = bottomToTop.rbegin(); candidate != bottomToTop.rend(); ++candidate) {
            if (matches(candidate->title, title))
                return candidate->window;
        }
    }
    return std::nullopt;
}

} // namespace hiragana::x11
