#include "x11transfer.h"

#include "activation.h"
#include "connection.h"
#include "unicode.h"
#include "typist.h"
#include "windowfinder.h"

#include <algorithm>

namespace hiragana::x11 {

std::unique_ptr<X11Transfer> X11Transfer::Open(const char *displayName, const TransferLimits &limits)
{
    auto connection = Connection::Open(displayName);
    if (!connection)
        return nullptr;
    return std::make_unique<X11Transfer>(std::move(connection), limits);
}

X11Transfer::X11Transfer(std::unique_ptr<Connection> connection, const TransferLimits &limits)
    : m_connection(std::move(connection))
    , m_typist(std::make_unique<Typist>(*m_connection, limits))
    , m_limits(limits)
{
}

X11Transfer::~X11Transfer() = default;

void X11Transfer::excludeWindow(unsigned long window)
{
    if (std::find(m_excluded.begin(), m_excluded.end(), window) == m_excluded.end())
        m_excluded.push_back(window);
}

void X11Transfer::setBeforeBatch(std::function<void(std::size_t)> beforeBatch)
{
    m_typist->setBeforeBatch(std::move(beforeBatch));
}

bool X11Transfer::ActivateWindow(const std::u16string &title)
{
    m_target = 0;
    const auto window = FindWindowByTitle(*m_connection, ToUtf8(title), m_excluded);
    if (!window)
        return false;
    m_target = *window;
    return x11::ActivateWindow(*m_connection, m_target, m_limits.focus);
}

bool X11Transfer::SendKeystrokes(const std::u16string &text)
{
    if (m_target == 0)
        return false;
    return m_typist->Type(m_target, text);
}

std::string DisplayNameOf(_XDisplay *display)
{
    return display ? XDisplayString(display) : std::string();
}

} // namespace hiragana::x11
