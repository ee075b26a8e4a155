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

bool isPingAnswer(const Connection &connection, const XEvent &event, Window window, long stamp)
{
    const Atoms &atoms = connection.atoms();
    return event.type == ClientMessage && event.xclient.message_type == atoms.wmProtocols
        && static_cast<Atom>(event.xclient.data.l[0]) == atoms.netWmPing && event.xclient.data.l[1] == stamp
        && static_cast<Window>(event.xclient.data.l[2]) == window;
}
} // namespace

bool PingWindow(Connection &connection, Window window, long stamp, std::chrono::milliseconds bound,
                const std::function<void()> &whileWaiting)
{
    using namespace std::chrono_literals;
    Display *display = connection.display();
    const Atoms &atoms = connection.atoms();
    // The answer goes to the root window; depending on the toolkit, to whoever listens for its
    // structure or for its substructure.
    XSelectInput(display, connection.root(), StructureNotifyMask | SubstructureNotifyMask);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = atoms.wmProtocols;
    request.xclient.format = 32;
    request.xclient.data.l[0] = static_cast<long>(atoms.netWmPing);
    request.xclient.data.l[1] = stamp;
    request.xclient.data.l[2] = static_cast<long>(window);
    bool sent = false;
    {
        ErrorTrap trap(display);
        XSendEvent(display, window, False, NoEventMask, &request);
        sent = !trap.Failed();
    }
    bool answered = false;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (sent && !answered && std::chrono::steady_clock::now() < deadline) {
        if (XPending(display) == 0) {
            if (whileWaiting) {
                whileWaiting();
                waitForInput(display, std::min(deadline, std::chrono::steady_clock::now() + 5ms));
            } else {
                waitForInput(display, deadline);
            }
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        answered = isPingAnswer(connection, event, window, stamp);
    }
    XSelectInput(display, connection.root(), NoEventMask);
    connection.DiscardEvents();
    return answered;
}

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
        return PingWindow(m_connection, m_target, ++m_stamp, m_bound);
    XSync(m_connection.display(), False);
    std::this_thread::sleep_for(m_settleTime);
    return true;
}

} // namespace hiragana::x11
