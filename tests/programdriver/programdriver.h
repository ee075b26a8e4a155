#pragma once

// Qt before Xlib, whose macros (Bool, Status …) would clash with it.
#include <QProcess>
#include <QRect>
#include <QStringList>

#include "connection.h"
#include "xinput.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hiragana::driver {

using namespace std::chrono_literals;

inline const std::string KeyboardTitle = "Hiragana";
inline const std::string NoTargetBoxTitle = "入力エラー";

// Drives the real keyboard program from outside, as a user does: real mouse and keyboard input
// through the X server, and only what the screen shows to find its windows and keys. The
// program is the one built here, or the one HIRAGANA_TEST_PROGRAM names (an installed one).
class ProgramDriver {
public:
    // environment: NAME=VALUE settings on top of the driver's own.
    explicit ProgramDriver(const QStringList &environment);
    // Stops the program by its PID if it still runs.
    ~ProgramDriver();

    // Starts the program without waiting for anything.
    void Launch();
    // Launches and waits (bounded) until the keyboard window is up, painted and active.
    bool Start();
    // Whether the keyboard window was active on its own when it came up, before any help.
    bool CameUpActive() const { return m_cameUpActive; }

    XInput &input() { return m_input; }
    x11::Connection &connection() { return *m_connection; }
    Window keyboard() const { return m_keyboard; }
    // The keyboard window's inside and its outer frame (from _NET_FRAME_EXTENTS), on the root.
    QRect ClientRect() const;
    QRect FrameRect() const;
    int menuBarHeight() const { return m_menuBarHeight; }

    // The program's managed, viewable windows with this exact title (UTF-8).
    std::vector<Window> Titled(const std::string &title) const;
    std::optional<Window> WaitForTitled(const std::string &title, std::chrono::milliseconds bound);
    bool IsDialog(Window window) const;
    // Where the program's viewable windows that bypass the window manager stand: the speech
    // character's figure and its balloon, an open menu.
    std::vector<QRect> UnmanagedWindows() const;
    // Whether a menu has dropped down from the menu bar.
    bool MenuOpen() const;
    bool IsActive(Window window) const;
    bool WaitUntilActive(Window window, std::chrono::milliseconds bound);
    // Activates the window as a task bar would, and waits (bounded) until it holds the focus.
    bool Activate(Window window);
    bool ActivateKeyboard() { return Activate(m_keyboard); }

    // Clicks the middle of key Command<number>, as the layout places it.
    bool ClickKey(int number);
    // The colour on screen (0xRRGGBB) of every key's face, at a spot clear of its caption.
    std::array<std::uint32_t, 70> Faces() const;
    QPoint FaceSpot(int number) const;
    // A round trip through the program's event loop (_NET_WM_PING), bounded.
    bool Ping();
    // Waits for the box that says there is no target, closes it with closingKey (Return or
    // Escape) and waits until it is gone and the keyboard is active again.
    bool DismissNoTargetBox(KeySym closingKey);

    // Ctrl+Q: the program must end at once with status 0.
    bool Quit();
    bool WaitForExit(std::chrono::milliseconds bound);
    bool Crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    int ExitCode() const { return m_process.exitCode(); }
    long ResidentKiB() const;

    // Runs the driver's own event loop (which serves the clipboard) until condition holds, bounded.
    bool WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const;
    static void ServeEvents();

private:
    QRect keyRect(int number) const;
    bool measureMenuBar();

    QStringList m_environment;
    std::unique_ptr<x11::Connection> m_connection;
    XInput m_input;
    QProcess m_process;
    Window m_keyboard = 0;
    QRect m_client;
    int m_menuBarHeight = 0;
    bool m_cameUpActive = false;
    long m_stamp = 0;
};

} // namespace hiragana::driver
