#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hiragana {

// A window as the platform names it (an X11 Window, a Win32 HWND) with its title: UTF-8 bytes
// on X11 and wlroots, UTF-16 units on Windows and GNOME.
template<typename Char>
struct TitledWindow {
    std::uintptr_t window = 0;
    std::basic_string<Char> title;
};

// The window that a transfer to title goes to: one whose title equals it, else one whose title
// begins with it, else one whose title ends with it. Titles are compared unit for unit, without
// patterns or case folding. Among several of the same rank the topmost wins; windows are given
// from the bottom of the stack to the top. An empty title matches nothing.
std::optional<std::uintptr_t> ChooseTarget(std::span<const TitledWindow<char>> bottomToTop, std::string_view title);
std::optional<std::uintptr_t> ChooseTarget(std::span<const TitledWindow<char16_t>> bottomToTop,
                                           std::u16string_view title);

} // namespace hiragana
