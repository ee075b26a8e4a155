#include "targetsync.h"

#include "errortrap.h"
#include "properties.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <poll.h>
#include <thread>

namespace hiragana::x11 {

namespace {
bool supportsPing(const Connection &connection, Window target)
{
    ErrorTrap trap(connection.display());
    const auto protocols = ReadLongs(connection.display(), target, connection.atoms().wmProtocols, XA_ATOM);
    return std::find(protocols.begin(), protocols.end(), connection.atoms().netWmPing) != protocols.end();
}

void waitForInput(Display *display, std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
    poll(&descriptor, 1, static_cast<int>(std::max<long>(left.count(), 0)));
}
} // namespace

TargetSync::TargetSync(Connection &connection, Window target, std::chrono::milliseconds bound,
                       std::chrono::milliseconds settleTime)
    : m_connection(connection)
    , m_target(target)
    , m_bound(bound)
    , m_settleTime(settleTime)
    , m_answersPings(supportsPing(connection, target))
{
}

bool TargetSync::WaitUntilProcessed()
{
    if (m_answersPings)
        return ping();
    XSync(m_connection.display(), False);
    std::this_thread::sleep_for(m_settleTime);
    return true;
}

bool TargetSync::isAnswer(const XEvent &event) const
{
    const Atoms &atoms = m_connection.atoms();
    return event.type == ClientMessage && event.xclient.message_type == atoms.wmProtocols
        && static_cast<Atom>(event.xclient.data.l[0]) == atoms.netWmPing && event.xclient.data.l[1] == m_stamp
        && static_cast<Window>(event.xclient.data.l[2]) == m_target;
}

bool TargetSync::ping()
{
    Display *display = m_connection.display();
    const Atoms &atoms = m_connection.atoms();
    // The answer goes to the root window; depending on the toolkit, to whoever listens for its
    // structure or for its substructure.
    XSelectInput(display, m_connection.root(), StructureNotifyMask | SubstructureNotifyMask);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = m_target;
    request.xclient.message_type = atoms.wmProtocols;
    request.xclient.format = 32;
    request.xclient.data.l[0] = static_cast<long>(atoms.netWmPing);
    request.xclient.data.l[1] = ++m_stamp;
    request.xclient.data.l[2] = static_cast<long>(m_target);
    bool sent = false;
    {
        ErrorTrap trap(display);
        XSendEvent(display, m_target, False, NoEventMask, &request);
        sent = !trap.Failed();
    }
    bool answered = false;
    const auto deadline = std::chrono::steady_clock::now() + m_bound;
    while (sent && !answered && std::chrono::steady_clock::now() < deadline) {
        if (XPending(display) == 0) {
            waitForInput(display, deadline);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        answered = isAnswer(event);
    }
    XSelectInput(display, m_connection.root(), NoEventMask);
    m_connection.DiscardEvents();
    return answered;
}

} // namespace hiragana::x11
