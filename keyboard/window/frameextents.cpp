#include "frameextents.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace hiragana {

namespace {
using namespace std::chrono_literals;

// openbox answers within milliseconds; a window manager that never does must not hold up the
// start for long.
constexpr auto AnswerTimeout = 300ms;
constexpr auto PollInterval = 2ms;

Display *x11Display()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

void sendFrameExtentsRequest(Display *display, Window window)
{
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);
}

// left, right, top, bottom in device pixels, once the window manager has set them.
std::optional<QMargins> readFrameExtents(Display *display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    const int status = XGetWindowProperty(display, window, extents, 0, 4, False, XA_CARDINAL, &type,
                                          &format, &count, &remaining, &data);
    std::optional<QMargins> margins;
    if (status == Success && type == XA_CARDINAL && format == 32 && count == 4) {
        const auto *values = reinterpret_cast<const long *>(data);
        margins = QMargins(int(values[0]), int(values[2]), int(values[1]), int(values[3]));
    }
    if (data)
        XFree(data);
    return margins;
}

QMargins toDeviceIndependent(const QMargins &margins, qreal ratio)
{
    const auto scaled = [ratio](int pixels) { return int(std::lround(pixels / ratio)); };
    return {scaled(margins.left()), scaled(margins.top()), scaled(margins.right()), scaled(margins.bottom())};
}
} // namespace

std::optional<QMargins> RequestFrameExtents(QWidget &window)
{
    Display *display = x11Display();
    if (!display)
        return std::nullopt;
    const auto native = static_cast<Window>(window.winId());
    sendFrameExtentsRequest(display, native);
    const auto deadline = std::chrono::steady_clock::now() + AnswerTimeout;
    do {
        if (const auto margins = readFrameExtents(display, native))
            return toDeviceIndependent(*margins, window.devicePixelRatioF());
        std::this_thread::sleep_for(PollInterval);
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

} // namespace hiragana
