#pragma once

// Qt before Xlib, whose macros (Bool, Status …) would clash with it.
#include <QRect>
#include <QStringList>

#include "programprocess.h"
#include "programwindows.h"
#include "xinput.h"

#include <chrono>
#include <memory>
#include <string>

namespace hiragana::driver {

inline const std::string KeyboardTitle = "Hiragana";
inline const std::string NoTargetBoxTitle = "入力エラー";

// Drives the real keyboard program from outside, as a user does: real mouse and keyboard input
// through the X server, and only what the screen shows to find its windows.
class ProgramDriver {
public:
    struct Options {
        QStringList environment; // NAME=VALUE settings for the program
        std::string display;     // the X display; empty for the driver's own
    };

    explicit ProgramDriver(const Options &options);
    ~ProgramDriver();

    // Starts the program and waits (bounded) until its keyboard window is up and active.
    bool Start();
    // Whether the keyboard window was active on its own when it came up, before any help.
    bool CameUpActive() const { return m_cameUpActive; }

    ProgramProcess &process() { return *m_process; }
    ProgramWindows &windows() { return *m_windows; }
    XInput &input() { return m_input; }
    Window keyboard() const { return m_keyboard; }
    x11::Connection &connection() { return *m_connection; }

    // Clicks the middle of key Command<number>; false if the click never went out.
    bool ClickKey(int number);
    // The colour on screen (0xRRGGBB) of the key's face, at a spot clear of its caption.
    unsigned long KeyFaceColour(int number) const;
    // A round trip through the program's event loop, bounded.
    bool Ping();
    // Brings the keyboard window back to the front, as a task bar would.
    bool ActivateKeyboard();
    // Waits for the box that says there is no target, closes it with closingKey (Return or
    // Escape) and waits until it is gone and the keyboard is active again.
    bool DismissNoTargetBox(KeySym closingKey);
    // Ctrl+Q: the program must end at once with status 0.
    bool Quit();

private:
    QRect keyRect(int number) const;

    Options m_options;
    std::unique_ptr<x11::Connection> m_connection;
    XInput m_input;
    std::unique_ptr<ProgramProcess> m_process;
    std::unique_ptr<ProgramWindows> m_windows;
    Window m_keyboard = 0;
    QRect m_client;
    int m_menuBarHeight = 0;
    bool m_cameUpActive = false;
};

// Runs the driver's own event loop for a moment (it serves the clipboard, among others).
void ProcessDriverEvents();

} // namespace hiragana::driver
