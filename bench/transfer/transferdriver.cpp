// The measuring half of bench-transfer.
//   bench_transfer type TITLE < TEXT   types TEXT (UTF-8) into the window titled TITLE the way
//                                      the transfer key does; prints the seconds the typing took.
//   bench_transfer type-wayland TITLE < TEXT   the same on the Wayland compositor of
//                                      WAYLAND_DISPLAY.
//   bench_transfer errors WANTED GOT   prints how many characters GOT differs from WANTED by
//                                      (insertions, deletions and changes; both files UTF-8).
#include "unicode.h"
#include "wayland/waylanddesktop.h"
#include "x11/x11desktop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {
std::u32string decodeUtf8(const std::string &text)
{
    std::u32string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        result.push_back(c);
    }
    return result;
}

std::string readAll(std::istream &in)
{
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A desktop alone: no toolkit to run events for or to show a box.
template<typename Backend>
class BenchDesktop final : public Backend {
public:
    template<typename... BackendArguments>
    explicit BenchDesktop(BackendArguments &&...arguments) : Backend(std::forward<BackendArguments>(arguments)...) {}
    void ProcessPendingEvents() override {}
    void ShowMessageBox(const std::u16string &, int, const std::u16string &) override {}
};

// Either desktop's activation and typing, the one or the other.
template<typename Transfer>
int type(Transfer &transfer, const char *title)
{
    const std::u16string text = hiragana::EncodeUtf16(decodeUtf8(readAll(std::cin)));
    if (!transfer.ActivateWindow(hiragana::EncodeUtf16(decodeUtf8(title)))) {
        std::fprintf(stderr, "no window titled %s\n", title);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const bool sent = transfer.SendKeystrokes(text);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", elapsed.count());
    return sent ? 0 : 1;
}

// Levenshtein distance over characters, two rows at a time.
std::size_t editDistance(const std::u32string &a, const std::u32string &b)
{
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] != b[j - 1])});
        std::swap(previous, current);
    }
    return previous[b.size()];
}

int errors(const char *wantedPath, const char *gotPath)
{
    std::ifstream wanted(wantedPath, std::ios::binary), got(gotPath, std::ios::binary);
    std::printf("%zu\n", editDistance(decodeUtf8(readAll(wanted)), decodeUtf8(readAll(got))));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "type") == 0) {
        BenchDesktop<hiragana::x11::X11Desktop> desktop{std::string()};
        return desktop.usable() ? type(desktop, argv[2]) : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "type-wayland") == 0) {
        BenchDesktop<hiragana::wayland::WaylandDesktop> desktop{std::vector<std::string>()};
        return desktop.usable() ? type(desktop, argv[2]) : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "errors") == 0)
        return errors(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s type|type-wayland TITLE < TEXT | %s errors WANTED GOT\n", argv[0],
                 argv[0]);
    return 2;
}
