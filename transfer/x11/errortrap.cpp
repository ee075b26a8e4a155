#include "errortrap.h"

namespace hiragana::x11 {

namespace {
ErrorTrap *innermostTrap = nullptr;
} // namespace

ErrorTrap::ErrorTrap(Display *display)
    : m_display(display)
    , m_outer(innermostTrap)
{
    XSync(m_display, False);
    m_previousHandler = XSetErrorHandler(&ErrorTrap::handle);
    innermostTrap = this;
}

ErrorTrap::~ErrorTrap()
{
    XSync(m_display, False);
    innermostTrap = m_outer;
    XSetErrorHandler(m_previousHandler);
}

bool ErrorTrap::Failed()
{
    XSync(m_display, False);
    return m_failed;
}

int ErrorTrap::handle(Display *display, XErrorEvent *error)
{
    for (ErrorTrap *trap = innermostTrap; trap; trap = trap->m_outer) {
        if (trap->m_display == display) {
            trap->m_failed = true;
            return 0;
        }
    }
    ErrorTrap *outermost = innermostTrap;
    while (outermost->m_outer)
        outermost = outermost->m_outer;
    return outermost->m_previousHandler ? outermost->m_previousHandler(display, error) : 0;
}

} // namespace hiragana::x11
