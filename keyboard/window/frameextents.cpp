#include "frameextents.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace hiragana {

namespace {
using Clock = std::chrono::steady_clock;

struct FreeReply {
    void operator()(void *reply) const { std::free(reply); }
};
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, FreeReply>;

struct Atoms {
    xcb_atom_t supportingWmCheck = XCB_ATOM_NONE;
    xcb_atom_t supported = XCB_ATOM_NONE;
    xcb_atom_t requestFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t frameExtents = XCB_ATOM_NONE;
};

std::optional<Atoms> internAtoms(xcb_connection_t *connection)
{
    constexpr std::array names{"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS",
                               "_NET_FRAME_EXTENTS"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, names.size()> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        if (!reply)
            return std::nullopt;
        atoms[i] = reply->atom;
    }
    return Atoms{atoms[0], atoms[1], atoms[2], atoms[3]};
}

xcb_get_property_cookie_t askProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                                      xcb_atom_t type, std::uint32_t items)
{
    return xcb_get_property(connection, 0, window, property, type, 0, items);
}

// The 32-bit items of a property; empty when the property or the window is missing.
std::vector<std::uint32_t> takeProperty(xcb_connection_t *connection, xcb_get_property_cookie_t cookie)
{
    xcb_generic_error_t *error = nullptr;
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, &error));
    std::free(error);
    if (!reply || reply->format != 32)
        return {};
    const auto *items = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return {items, items + xcb_get_property_value_length(reply.get()) / 4};
}

// A window manager following the freedesktop.org conventions runs when the root names a check
// window that still exists and names itself; it takes the request when it lists it as supported.
bool windowManagerTakesRequest(xcb_connection_t *connection, xcb_window_t root, const Atoms &atoms)
{
    const auto checkCookie = askProperty(connection, root, atoms.supportingWmCheck, XCB_ATOM_WINDOW, 1);
    const auto supportedCookie = askProperty(connection, root, atoms.supported, XCB_ATOM_ATOM, 4096);
    const std::vector<std::uint32_t> check = takeProperty(connection, checkCookie);
    const std::vector<std::uint32_t> supported = takeProperty(connection, supportedCookie);
    if (check.size() != 1 || std::ranges::find(supported, atoms.requestFrameExtents) == supported.end())
        return false;
    const auto named = askProperty(connection, check[0], atoms.supportingWmCheck, XCB_ATOM_WINDOW, 1);
    return takeProperty(connection, named) == check;
}

QMargins toDeviceIndependent(const QMargins &margins, qreal ratio)
{
    const auto scaled = [ratio](int pixels) { return int(std::lround(pixels / ratio)); };
    return {scaled(margins.left()), scaled(margins.top()), scaled(margins.right()), scaled(margins.bottom())};
}
} // namespace

// The request on a connection of its own: it alone hears of the window's property changes, so
// the answer can be waited for without running the toolkit's event loop.
class FrameExtentsRequest::PendingAnswer {
public:
    PendingAnswer(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window, const Atoms &atoms)
        : m_connection(connection)
        , m_window(window)
        , m_frameExtents(atoms.frameExtents)
        , m_deadline(Clock::now() + AnswerTimeout)
    {
        const std::uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &propertyChanges);
        xcb_client_message_event_t request{};
        request.response_type = XCB_CLIENT_MESSAGE;
        request.format = 32;
        request.window = window;
        request.type = atoms.requestFrameExtents;
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&request));
        xcb_flush(connection);
    }
    ~PendingAnswer() { xcb_disconnect(m_connection); }
    PendingAnswer(const PendingAnswer &) = delete;
    PendingAnswer &operator=(const PendingAnswer &) = delete;

    // left, top, right, bottom in device pixels.
    std::optional<QMargins> Wait()
    {
        do {
            const std::vector<std::uint32_t> extents =
                takeProperty(m_connection, askProperty(m_connection, m_window, m_frameExtents, XCB_ATOM_CARDINAL, 4));
            if (extents.size() == 4)
                return QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
        } while (awaitExtentsChange());
        return std::nullopt;
    }

private:
    // False when the deadline passes or the connection breaks first.
    bool awaitExtentsChange()
    {
        for (;;) {
            while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
                if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    continue;
                const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
                if (change->window == m_window && change->atom == m_frameExtents)
                    return true;
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now());
            if (xcb_connection_has_error(m_connection) || left.count() <= 0)
                return false;
            pollfd readable{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            if (poll(&readable, 1, int(left.count())) < 0 && errno != EINTR)
                return false;
        }
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_window;
    xcb_atom_t m_frameExtents;
    Clock::time_point m_deadline;
};

FrameExtentsRequest::FrameExtentsRequest(QWidget &window)
    : m_window(window)
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display() || !x11->connection())
        return;
    // Asked over the toolkit's connection, whose replies also tell that the server has made the
    // native window by then: the connection of the request's own may refer to it.
    xcb_connection_t *toolkit = x11->connection();
    const auto native = static_cast<xcb_window_t>(window.winId());
    const auto root = static_cast<xcb_window_t>(DefaultRootWindow(x11->display()));
    const std::optional<Atoms> atoms = internAtoms(toolkit);
    if (!atoms || !windowManagerTakesRequest(toolkit, root, *atoms))
        return;
    xcb_connection_t *own = xcb_connect(DisplayString(x11->display()), nullptr);
    if (xcb_connection_has_error(own)) {
        xcb_disconnect(own);
        return;
    }
    m_answer = std::make_unique<PendingAnswer>(own, root, native, *atoms);
}

FrameExtentsRequest::~FrameExtentsRequest() = default;

std::optional<QMargins> FrameExtentsRequest::Answer()
{
    if (!m_answer)
        return std::nullopt;
    const std::optional<QMargins> margins = m_answer->Wait();
    m_answer.reset();
    if (!margins)
        return std::nullopt;
    return toDeviceIndependent(*margins, m_window.devicePixelRatioF());
}

} // namespace hiragana
