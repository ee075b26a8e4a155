#include "windowfinder.h"

#include "titlematch.h"

#include <algorithm>
#include <vector>

namespace hiragana::win32 {

namespace {
BOOL CALLBACK collectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND> *>(windows)->push_back(window);
    return TRUE;
}

bool isOwnWindow(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// Read from the window's caption, without a message to the window: it may be hung.
std::u16string titleOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    title.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, title.data(), length + 1), 0)));
    return {title.begin(), title.end()};
}

// EnumWindows goes from the top of the stack down.
std::vector<TitledWindow<char16_t>> candidatesBottomToTop()
{
    std::vector<HWND> topFirst;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&topFirst));
    std::vector<TitledWindow<char16_t>> candidates;
    for (auto window = topFirst.rbegin(); window != topFirst.rend(); ++window) {
        if (IsWindowVisible(*window) && !isOwnWindow(*window))
            candidates.push_back({reinterpret_cast<std::uintptr_t>(*window), titleOf(*window)});
    }
    return candidates;
}
} // namespace

HWND FindWindowByTitle(std::u16string_view title)
{
    const auto chosen = ChooseTarget(candidatesBottomToTop(), title);
    return chosen ? reinterpret_cast<HWND>(*chosen) : nullptr;
}

} // namespace hiragana::win32
