#include "titlematch.h"

#include <initializer_list>

namespace hiragana {

namespace {
template<typename Char>
std::optional<std::uintptr_t> chooseTarget(std::span<const TitledWindow<Char>> bottomToTop,
                                           std::basic_string_view<Char> title)
{
    using View = std::basic_string_view<Char>;
    if (title.empty())
        return std::nullopt;
    const auto equals = [](View candidate, View wanted) { return candidate == wanted; };
    const auto beginsWith = [](View candidate, View wanted) { return candidate.starts_with(wanted); };
    const auto endsWith = [](View candidate, View wanted) { return candidate.ends_with(wanted); };
    for (bool (*matches)(View, View) : {+equals, +beginsWith, +endsWith}) {
        // Topmost first: the last window of the stacking order wins a tie.
        for (auto candidate = bottomToTop.rbegin(); candidate != bottomToTop.rend(); ++candidate) {
            if (matches(candidate->title, title))
                return candidate->window;
        }
    }
    return std::nullopt;
}
} // namespace

std::optional<std::uintptr_t> ChooseTarget(std::span<const TitledWindow<char>> bottomToTop, std::string_view title)
{
    return chooseTarget(bottomToTop, title);
}

std::optional<std::uintptr_t> ChooseTarget(std::span<const TitledWindow<char16_t>> bottomToTop,
                                           std::u16string_view title)
{
    return chooseTarget(bottomToTop, title);
}

} // namespace hiragana
