// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QCoreApplication>
#include <QProcessEnvironment>

#include "programdriver.h"

#include "activation.h"
#include "errortrap.h"
#include "keyboardmodel.h"
#include "properties.h"
#include "targetsync.h"
#include "windowfinder.h"
#include "windowtestsupport.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <thread>

namespace hiragana::driver {

namespace {
// The colours (0xRRGGBB) at these points of the screen, from one picture of the area.
std::vector<std::uint32_t> coloursAt(Display *display, const QRect &area, const std::vector<QPoint> &points)
{
    std::vector<std::uint32_t> colours(points.size());
    XImage *picture = XGetImage(display, DefaultRootWindow(display), area.x(), area.y(), unsigned(area.width()),
                                unsigned(area.height()), AllPlanes, ZPixmap);
    for (std::size_t i = 0; picture && i < points.size(); ++i)
        colours[i] = XGetPixel(picture, points[i].x() - area.x(), points[i].y() - area.y()) & 0xFFFFFF;
    if (picture)
        XDestroyImage(picture);
    return colours;
}

// The click has gone out once neither the window manager nor the window that got the press
// holds the pointer any more.
bool click(Display *display, QPoint global, bool waitUntilDelivered)
{
    XTestFakeMotionEvent(display, -1, global.x(), global.y(), CurrentTime);
    XTestFakeButtonEvent(display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(display, Button1, False, CurrentTime);
    XFlush(display);
    for (int tries = 0; waitUntilDelivered && tries < 10000; ++tries) {
        if (XGrabPointer(display, DefaultRootWindow(display), False, NoEventMask, GrabModeAsync, GrabModeAsync, None,
                         None, CurrentTime) == GrabSuccess) {
            XUngrabPointer(display, CurrentTime);
            XSync(display, False);
            return true;
        }
        std::this_thread::sleep_for(1ms);
    }
    return !waitUntilDelivered;
}
} // namespace

ProgramDriver::ProgramDriver(const QStringList &environment)
    : m_environment(environment)
    , m_connection(x11::Connection::Open(nullptr))
{
    // The driver may outlive the display (a test takes it away): that must not end the test.
    XSetIOErrorHandler([](Display *) { return 0; });
    if (m_connection)
        XSetIOErrorExitHandler(m_connection->display(), [](Display *, void *) {}, nullptr);
}

ProgramDriver::~ProgramDriver()
{
    m_process.kill();
    m_process.waitForFinished(10000);
}

void ProgramDriver::Launch()
{
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    settings.remove(QStringLiteral("QT_QPA_PLATFORM")); // the program chooses, as on a user's desktop
    for (const QString &setting : m_environment)
        settings.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    m_process.setProcessEnvironment(settings);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(qEnvironmentVariable("HIRAGANA_TEST_PROGRAM", QStringLiteral(HIRAGANA_PROGRAM)), {});
    m_process.waitForStarted();
}

bool ProgramDriver::Start()
{
    Launch();
    const auto windows = m_connection ? Titled(KeyboardTitle, 30s) : std::vector<Window>();
    m_keyboard = windows.empty() ? 0 : windows.front();
    return m_keyboard && WaitUntilActive(m_keyboard, 10s) && WaitUntil([this] { return measureMenuBar(); }, 10s)
        && Ping();
}

// The keys begin below the menu bar, where the window's grey (0xE0E0E0) shows at its right
// edge; until the window is painted whole, some of it is black.
bool ProgramDriver::measureMenuBar()
{
    m_client = ClientRect(); // where it stays once the window manager has framed it
    std::vector<QPoint> column;
    for (int y = 0; y < 80; ++y)
        column.push_back(m_client.topRight() + QPoint(-2, y));
    const auto colours = coloursAt(m_connection->display(), QRect(column.front(), column.back()), column);
    m_menuBarHeight = int(std::ranges::find(colours, 0xE0E0E0u) - colours.begin());
    return m_menuBarHeight > 0 && m_menuBarHeight < 80 && std::ranges::count(colours, 0u) == 0;
}

QRect ProgramDriver::ClientRect() const
{
    x11::ErrorTrap trap(m_connection->display());
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_connection->display(), m_keyboard, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_connection->display(), m_keyboard, m_connection->root(), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

QRect ProgramDriver::FrameRect() const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    const auto frame = x11::ReadLongs(display, m_keyboard, XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL);
    return frame.size() != 4 ? ClientRect()
                             : ClientRect().adjusted(-int(frame[0]), -int(frame[2]), int(frame[1]), int(frame[3]));
}

// A window of the program's, on screen.
std::optional<XWindowAttributes> ProgramDriver::ours(Window window) const
{
    XWindowAttributes a{};
    const auto pid = x11::ReadLong(m_connection->display(), window, m_connection->atoms().netWmPid, XA_CARDINAL);
    if (pid != unsigned(m_process.processId()) || !XGetWindowAttributes(m_connection->display(), window, &a)
        || a.map_state != IsViewable)
        return std::nullopt;
    return a;
}

std::vector<Window> ProgramDriver::Titled(const std::string &title, std::chrono::milliseconds bound) const
{
    std::vector<Window> found;
    WaitUntil([&] {
        x11::ErrorTrap trap(m_connection->display());
        found.clear();
        for (const Window window : x11::TopLevelWindows(*m_connection)) {
            if (ours(window) && x11::ReadTitle(*m_connection, window) == title)
                found.push_back(window);
        }
        return !trap.Failed() && !found.empty();
    }, bound);
    return found;
}

std::vector<QRect> ProgramDriver::UnmanagedWindows() const
{
    x11::ErrorTrap trap(m_connection->display());
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<QRect> shown;
    XQueryTree(m_connection->display(), m_connection->root(), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; ++i) {
        if (const auto a = ours(children[i]); a && a->override_redirect)
            shown.emplace_back(a->x, a->y, a->width, a->height);
    }
    if (children)
        XFree(children);
    return trap.Failed() ? std::vector<QRect>() : shown;
}

bool ProgramDriver::IsDialog(Window window) const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    const auto types = x11::ReadLongs(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM);
    return std::ranges::count(types, XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False)) > 0;
}

// Active as the window manager sees it, and holding the focus.
bool ProgramDriver::WaitUntilActive(Window window, std::chrono::milliseconds bound) const
{
    const Atom active = m_connection->atoms().netActiveWindow;
    return WaitUntil([&] {
        return x11::ReadLong(m_connection->display(), m_connection->root(), active, XA_WINDOW) == window
            && x11::FocusIsIn(*m_connection, window);
    }, bound);
}

bool ProgramDriver::Activate(Window window) const
{
    if (!WaitUntilActive(window, 0ms))
        x11::ActivateWindow(*m_connection, window, 0ms);
    return WaitUntilActive(window, 10s);
}

bool ProgramDriver::ClickAt(QPoint global, bool opensMenu)
{
    return click(m_connection->display(), global, !opensMenu);
}

QRect ProgramDriver::keyRect(int number) const
{
    const testing::KeyPlace twips = testing::PlaceOf(number);
    return QRect(twips.left / 15, twips.top / 15 + m_menuBarHeight, twips.width / 15, twips.height / 15)
        .translated(m_client.topLeft());
}

void ProgramDriver::Tap(KeySym keysym, int modifiers)
{
    Display *display = m_connection->display();
    std::vector<KeySym> keys{keysym};
    if (modifiers & Shift)
        keys.insert(keys.begin(), XK_Shift_L);
    if (modifiers & Control)
        keys.insert(keys.begin(), XK_Control_L);
    for (const KeySym key : keys)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *key), False, CurrentTime);
    XFlush(display);
}

std::vector<std::uint32_t> ProgramDriver::Faces() const
{
    std::vector<QPoint> spots;
    for (int number = 1; number <= 70; ++number)
        spots.push_back(keyRect(number).bottomLeft() + QPoint(6, -7));
    return coloursAt(m_connection->display(), m_client, spots);
}

bool ProgramDriver::Ping()
{
    return x11::PingWindow(*m_connection, m_keyboard, ++m_stamp, 30s, ServeEvents);
}

bool ProgramDriver::WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ServeEvents();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void ProgramDriver::ServeEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace hiragana::driver

void hiragana::windowtest::ClickAt(QPoint global)
{
    static Display *display = XOpenDisplay(nullptr);
    driver::click(display, global, true);
}
