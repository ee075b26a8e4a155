#pragma once

#include "childprocess.h"
#include "desktop.h"
#include "x11/connection.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace hiragana::testing {

// A target application's window and the file it writes what it received to (UTF-8).
class TargetApp {
public:
    // Runs the command with the NAME=VALUE settings added to the environment; it is killed, by
    // its process group, when the target goes.
    TargetApp(const std::vector<std::string> &command, const std::vector<std::string> &environment,
              std::filesystem::path output);
    // Waits until the window is up (managed, when a window manager runs) and ready to type into.
    bool WaitUntilReady(const x11::Connection &connection);
    Window window() const { return m_window; }
    pid_t pid() const { return m_process.Pid(); }
    bool HasStarted() const { return std::filesystem::exists(m_output); }
    std::string Received() const;
    // Waits, at most a generous while, until Received() equals expected; returns Received().
    std::string WaitToReceive(const std::string &expected) const;

private:
    ChildProcess m_process;
    std::filesystem::path m_output;
    Window m_window = 0;
};

// Our small Qt editor titled title, on the Qt platform given; line breaks arrive as LF.
std::unique_ptr<TargetApp> StartEditor(const std::string &title, const std::filesystem::path &directory,
                                       const std::string &platform = "xcb");
// The terminal program (its command line up to the command it runs) running `cat` on a raw
// terminal into a file; line breaks arrive as CR. StartTerminal: an xterm titled title.
std::unique_ptr<TargetApp> StartInTerminal(std::vector<std::string> terminal, const std::filesystem::path &directory);
std::unique_ptr<TargetApp> StartTerminal(const std::string &title, const std::filesystem::path &directory);

// The text as a target holds it: a CR LF pair, a lone CR and a lone LF each one lineBreak.
std::string AsReceived(std::u16string_view text, std::string_view lineBreak);
// What app, titled title, holds up to a marker typed into it now through desktop: whatever was
// typed before has arrived once the marker has.
std::string ReceivedBeforeMarker(Desktop &desktop, const TargetApp &app, const std::u16string &title);

// The keyboard map as xkbcomp prints it.
std::string KeymapDump();

// A directory of its own for one test, removed afterwards.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace hiragana::testing
