#include "properties.h"

#include <X11/Xutil.h>

#include <memory>

namespace hiragana::x11 {

namespace {
constexpr long WholeProperty = 1 << 20; // in 32-bit units

struct XFreeDeleter {
    void operator()(void *data) const { XFree(data); }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

struct Property {
    XData data;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
};

std::optional<Property> readProperty(Display *display, Window window, Atom property, Atom type)
{
    Property result;
    unsigned long bytesAfter = 0;
    unsigned char *data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, WholeProperty, False, type,
                                          &result.type, &result.format, &result.count, &bytesAfter, &data);
    result.data.reset(data);
    if (status != Success || result.type == 0 || !result.data)
        return std::nullopt;
    return result;
}

std::optional<std::string> readNetWmName(const Connection &connection, Window window)
{
    const Atoms &atoms = connection.atoms();
    auto property = readProperty(connection.display(), window, atoms.netWmName, atoms.utf8String);
    if (!property || property->type != atoms.utf8String || property->format != 8)
        return std::nullopt;
    return std::string(reinterpret_cast<const char *>(property->data.get()), property->count);
}

std::optional<std::string> readWmName(Display *display, Window window)
{
    XTextProperty text{};
    if (!XGetWMName(display, window, &text))
        return std::nullopt;
    XData textData(text.value);
    char **list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &text, &list, &count) < Success || !list)
        return std::nullopt;
    std::string title;
    for (int i = 0; i < count; ++i)
        title += list[i];
    XFreeStringList(list);
    return title;
}
} // namespace

std::vector<unsigned long> ReadLongs(Display *display, Window window, Atom property, Atom type)
{
    auto read = readProperty(display, window, property, type);
    if (!read || read->type != type || read->format != 32)
        return {};
    const auto *items = reinterpret_cast<const unsigned long *>(read->data.get());
    return std::vector<unsigned long>(items, items + read->count);
}

std::optional<unsigned long> ReadLong(Display *display, Window window, Atom property, Atom type)
{
    const std::vector<unsigned long> items = ReadLongs(display, window, property, type);
    if (items.empty())
        return std::nullopt;
    return items.front();
}

std::optional<std::string> ReadTitle(const Connection &connection, Window window)
{
    if (auto title = readNetWmName(connection, window))
        return title;
    return readWmName(connection.display(), window);
}

} // namespace hiragana::x11
