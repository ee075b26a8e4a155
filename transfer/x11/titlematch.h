#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hiragana::x11 {

struct TitledWindow {
    unsigned long window = 0;
    std::string title; // UTF-8
};

// The window that a transfer to title goes to: one whose title equals it, else one whose title
// begins with it, else one whose title ends with it. Titles are compared byte for byte, without
// patterns or case folding. Among several of the same rank the topmost wins; windows are given
// from the bottom of the stack to the top. An empty title matches nothing.
std::optional<unsigned long> ChooseTarget(std::span<const TitledWindow> bottomToTop, std::string_view title);

} // namespace hiragana::x11
