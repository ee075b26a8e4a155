#pragma once

// Qt before Xlib, whose macros (Bool, Status …) would clash with it.
#include <QCoreApplication>
#include <QProcess>
#include <QRect>

#include "keyboardmodel.h"
#include "x11/activation.h"
#include "x11/errortrap.h"
#include "x11/properties.h"
#include "x11/targetsync.h"
#include "x11/waiting.h"
#include "x11/windowfinder.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

namespace hiragana::driver {

using namespace std::chrono_literals;

inline const std::string KeyboardTitle = "Hiragana";

// Drives the real keyboard program from outside as a user does, with real input through the X
// server (XTEST), knowing only what the screen shows. The program is the one built here, or the
// one HIRAGANA_TEST_PROGRAM names; it is killed, by its PID, when the driver goes.
class ProgramDriver {
public:
    ProgramDriver()
        : m_connection(x11::Connection::Open(nullptr))
    {
        if (!m_connection)
            qFatal("The program driver needs an X server with XTEST and XKEYBOARD");
        // The driver may outlive the display (a test takes it away): that must not end the test.
        XSetIOErrorHandler([](Display *) { return 0; });
        XSetIOErrorExitHandler(m_connection->display(), [](Display *, void *) {}, nullptr);
    }
    ~ProgramDriver()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

    // Starts the program with these NAME=VALUE settings added to the driver's environment.
    void Launch(const QStringList &environment)
    {
        QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
        settings.remove(QStringLiteral("QT_QPA_PLATFORM")); // it chooses, as on a user's desktop
        for (const QString &setting : environment)
            settings.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        m_process.setProcessEnvironment(settings);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(qEnvironmentVariable("HIRAGANA_TEST_PROGRAM", QStringLiteral(HIRAGANA_PROGRAM)), {});
        m_process.waitForStarted();
    }
    // Launches, and waits (bounded) until the keyboard is up, painted and active.
    bool Start(const QStringList &environment = {})
    {
        Launch(environment);
        const auto windows = Titled(KeyboardTitle, 30s);
        m_keyboard = windows.empty() ? 0 : windows.front();
        return m_keyboard && WaitUntilActive(m_keyboard, 10s) && WaitUntil([this] { return measureMenuBar(); }, 10s)
            && Ping();
    }
    // The program's exit status once it has ended within bound; none if it has not, or crashed.
    std::optional<int> ExitCode(std::chrono::milliseconds bound)
    {
        const bool ended = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(int(bound.count()));
        if (!ended || m_process.exitStatus() == QProcess::CrashExit)
            return std::nullopt;
        return m_process.exitCode();
    }

    x11::Connection &connection() { return *m_connection; }
    int menuBarHeight() const { return m_menuBarHeight; }
    // The keyboard window's inside and outer frame on the screen.
    QRect ClientRect() const
    {
        x11::ErrorTrap trap(m_connection->display());
        XWindowAttributes attributes{};
        XGetWindowAttributes(m_connection->display(), m_keyboard, &attributes);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(m_connection->display(), m_keyboard, m_connection->root(), 0, 0, &x, &y, &child);
        return {x, y, attributes.width, attributes.height};
    }
    QRect FrameRect() const
    {
        const auto f = x11::ReadLongs(m_connection->display(), m_keyboard, atom("_NET_FRAME_EXTENTS"), XA_CARDINAL);
        return f.size() != 4 ? ClientRect() : ClientRect().adjusted(-int(f[0]), -int(f[2]), int(f[1]), int(f[3]));
    }

    // The program's managed windows with this title (UTF-8), once there are any or bound has passed.
    std::vector<Window> Titled(const std::string &title, std::chrono::milliseconds bound = 0ms) const
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
    // Where its windows that bypass the window manager stand: the character, its balloon, a menu.
    std::vector<QRect> UnmanagedWindows() const
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
    bool WaitUntilActive(Window window, std::chrono::milliseconds bound) const
    {
        const Atom active = m_connection->atoms().netActiveWindow;
        return WaitUntil([&] {
            return x11::ReadLong(m_connection->display(), m_connection->root(), active, XA_WINDOW) == window
                && x11::FocusIsIn(*m_connection, window);
        }, bound);
    }
    // Brings the window to the front as a task bar would, and waits (bounded) for its focus.
    bool Activate(Window window) const
    {
        if (!WaitUntilActive(window, 0ms))
            x11::ActivateWindow(*m_connection, window, 0ms);
        return WaitUntilActive(window, 10s);
    }
    // Once the program has handled all that was sent to it, the keyboard is active again.
    bool BackToKeyboard() { return Ping() && Activate(m_keyboard); }

    // A click through XTEST. Delivered once neither the window manager nor the window that got
    // the press holds the pointer any more: a window manager may hold clicks back while it raises
    // a window. A click that opens a menu, which grabs the pointer itself, is not waited for.
    bool ClickAt(QPoint global, bool opensMenu = false)
    {
        Display *display = m_connection->display();
        XTestFakeMotionEvent(display, -1, global.x(), global.y(), CurrentTime);
        XTestFakeButtonEvent(display, Button1, True, CurrentTime);
        XTestFakeButtonEvent(display, Button1, False, CurrentTime);
        XFlush(display);
        return opensMenu || WaitUntil([&] {
            if (XGrabPointer(display, m_connection->root(), False, NoEventMask, GrabModeAsync, GrabModeAsync, None,
                             None, CurrentTime) != GrabSuccess)
                return false;
            XUngrabPointer(display, CurrentTime);
            XSync(display, False);
            return true;
        }, 15s);
    }
    bool ClickKey(int number) { return ClickAt(keyRect(number).center()); } // where the layout puts it
    // The key, with a modifier (XK_Control_L, XK_Shift_L) held down meanwhile if one is given.
    void Tap(KeySym key, KeySym modifier = NoSymbol)
    {
        Display *display = m_connection->display();
        const auto keys = modifier == NoSymbol ? std::vector{key} : std::vector{modifier, key};
        for (const KeySym down : keys)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, down), True, CurrentTime);
        for (auto up = keys.rbegin(); up != keys.rend(); ++up)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, *up), False, CurrentTime);
        XFlush(display);
    }
    // The colour on screen (0xRRGGBB) of each key's face, Command1 first, clear of its caption.
    std::vector<std::uint32_t> Faces() const
    {
        std::vector<QPoint> spots;
        for (int number = 1; number <= 70; ++number)
            spots.push_back(keyRect(number).bottomLeft() + QPoint(6, -7));
        return coloursAt(m_client, spots);
    }
    // A round trip through the program's event loop (_NET_WM_PING), bounded.
    bool Ping() { return x11::PingWindow(*m_connection, m_keyboard, ++m_stamp, 30s, ServeEvents); }

    // Runs the driver's event loop (which serves the clipboard) until condition holds, bounded.
    bool WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const
    {
        return x11::WaitUntil([&] {
            ServeEvents();
            return condition();
        }, bound, 1ms);
    }
    static void ServeEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); }

private:
    Atom atom(const char *name) const { return XInternAtom(m_connection->display(), name, False); }

    // A window of the program's, on screen.
    std::optional<XWindowAttributes> ours(Window window) const
    {
        XWindowAttributes a{};
        const auto pid = x11::ReadLong(m_connection->display(), window, m_connection->atoms().netWmPid, XA_CARDINAL);
        if (pid != unsigned(m_process.processId()) || !XGetWindowAttributes(m_connection->display(), window, &a)
            || a.map_state != IsViewable)
            return std::nullopt;
        return a;
    }

    QRect keyRect(int number) const
    {
        const testing::KeyPlace twips = testing::PlaceOf(number);
        return QRect(twips.left / 15, twips.top / 15 + m_menuBarHeight, twips.width / 15, twips.height / 15)
            .translated(m_client.topLeft());
    }

    // The colours (0xRRGGBB) at these points of the screen, from one picture of the area.
    std::vector<std::uint32_t> coloursAt(const QRect &area, const std::vector<QPoint> &points) const
    {
        std::vector<std::uint32_t> colours(points.size());
        XImage *picture = XGetImage(m_connection->display(), m_connection->root(), area.x(), area.y(),
                                    unsigned(area.width()), unsigned(area.height()), AllPlanes, ZPixmap);
        for (std::size_t i = 0; picture && i < points.size(); ++i)
            colours[i] = XGetPixel(picture, points[i].x() - area.x(), points[i].y() - area.y()) & 0xFFFFFF;
        if (picture)
            XDestroyImage(picture);
        return colours;
    }

    // The keys begin below the menu bar, where the window's grey (0xE0E0E0) shows at its right
    // edge; until the window is painted whole, some of it is black.
    bool measureMenuBar()
    {
        m_client = ClientRect(); // where it stays once the window manager has framed it
        std::vector<QPoint> column;
        for (int y = 0; y < 80; ++y)
            column.push_back(m_client.topRight() + QPoint(-2, y));
        const auto colours = coloursAt(QRect(column.front(), column.back()), column);
        m_menuBarHeight = int(std::ranges::find(colours, 0xE0E0E0u) - colours.begin());
        return m_menuBarHeight > 0 && m_menuBarHeight < 80 && std::ranges::count(colours, 0u) == 0;
    }

    std::unique_ptr<x11::Connection> m_connection;
    QProcess m_process;
    Window m_keyboard = 0;
    QRect m_client;
    int m_menuBarHeight = 0;
    long m_stamp = 0;
};

} // namespace hiragana::driver
