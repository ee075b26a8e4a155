#pragma once

// Qt before Xlib, whose macros (Bool, Status …) would clash with it.
#include <QProcess>
#include <QRect>

#include "connection.h"

#include <X11/keysym.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hiragana::driver {

using namespace std::chrono_literals;

inline const std::string KeyboardTitle = "Hiragana";

// Drives the real keyboard program from outside as a user does, with real input through the X
// server (XTEST), knowing only what the screen shows. The program is the one built here, or the
// one HIRAGANA_TEST_PROGRAM names; it is killed, by its PID, when the driver goes.
class ProgramDriver {
public:
    enum Modifier { NoModifier = 0, Shift = 1, Control = 2 };

    explicit ProgramDriver(const QStringList &environment); // NAME=VALUE on top of the driver's own
    ~ProgramDriver();

    void Launch();
    bool Start(); // launches, and waits (bounded) until the keyboard is up, painted and active
    bool WaitForExit(std::chrono::milliseconds bound)
    {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(int(bound.count()));
    }
    bool Quit() // Ctrl+Q: the program must end at once with status 0
    {
        Tap(XK_q, Control);
        return WaitForExit(10s) && !Crashed() && ExitCode() == 0;
    }
    bool Crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    int ExitCode() const { return m_process.exitCode(); }

    x11::Connection &connection() { return *m_connection; }
    // The keyboard window's inside and outer frame on the screen.
    QRect ClientRect() const;
    QRect FrameRect() const;
    int menuBarHeight() const { return m_menuBarHeight; }
    // The program's managed windows on screen with this title (UTF-8), once there are any or the
    // bound has passed; its windows on screen that bypass the window manager (the speech
    // character's figure and balloon, an open menu).
    std::vector<Window> Titled(const std::string &title, std::chrono::milliseconds bound = 0ms) const;
    std::vector<QRect> UnmanagedWindows() const;
    bool IsDialog(Window window) const;
    bool WaitUntilActive(Window window, std::chrono::milliseconds bound) const;
    bool Activate(Window window) const; // as a task bar would; waits (bounded) for its focus
    bool ActivateKeyboard() const { return Activate(m_keyboard); }

    // A click waits (bounded) until it has gone out to the window under the pointer: a window
    // manager may hold clicks back while it raises a window, and keys pass at once. A click that
    // opens a menu, which grabs the pointer itself, is not waited for.
    bool ClickAt(QPoint global, bool opensMenu = false);
    bool ClickKey(int number) { return ClickAt(keyRect(number).center()); } // where the layout puts it
    void Tap(KeySym keysym, int modifiers = NoModifier);
    // The colour on screen (0xRRGGBB) of each key's face, Command1 first, clear of its caption.
    std::vector<std::uint32_t> Faces() const;
    bool Ping(); // a round trip through the program's event loop (_NET_WM_PING), bounded

    // Runs the driver's event loop (which serves the clipboard) until condition holds, bounded.
    bool WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const;
    static void ServeEvents();

private:
    std::optional<XWindowAttributes> ours(Window window) const;
    QRect keyRect(int number) const;
    bool measureMenuBar();

    QStringList m_environment;
    std::unique_ptr<x11::Connection> m_connection;
    QProcess m_process;
    Window m_keyboard = 0;
    QRect m_client;
    int m_menuBarHeight = 0;
    long m_stamp = 0;
};

} // namespace hiragana::driver
