#include "x11desktop.h"

#include "activation.h"
#include "connection.h"
#include "typist.h"
#include "unicode.h"
#include "windowfinder.h"

#include <algorithm>

namespace hiragana::x11 {

X11Desktop::X11Desktop(const std::string &displayName, const X11Limits &limits)
    : m_connection(Connection::Open(displayName.empty() ? nullptr : displayName.c_str()))
    , m_limits(limits)
{
    if (m_connection)
        m_typist = std::make_unique<Typist>(*m_connection, limits);
}

X11Desktop::~X11Desktop() = default;

void X11Desktop::excludeWindow(unsigned long window)
{
    if (std::find(m_excluded.begin(), m_excluded.end(), window) == m_excluded.end())
        m_excluded.push_back(window);
}

void X11Desktop::setBeforeBatch(std::function<void(std::size_t)> beforeBatch)
{
    if (m_typist)
        m_typist->setBeforeBatch(std::move(beforeBatch));
}

bool X11Desktop::ActivateWindow(const std::u16string &title)
{
    m_target = 0;
    if (!usable())
        return false;
    const auto window = FindWindowByTitle(*m_connection, ToUtf8(title), m_excluded);
    if (!window)
        return false;
    m_target = *window;
    return x11::ActivateWindow(*m_connection, m_target, m_limits.focus);
}

bool X11Desktop::SendKeystrokes(const std::u16string &text)
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
