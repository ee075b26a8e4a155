#include "targetapps.h"

#include "unicode.h"
#include "x11/errortrap.h"
#include "x11/properties.h"
#include "x11/waiting.h"
#include "x11/windowfinder.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <fstream>

namespace hiragana::testing {

using namespace std::chrono_literals;

namespace {
// env's command line: the settings, then the command.
std::vector<std::string> withSettings(std::vector<std::string> settings, const std::vector<std::string> &command)
{
    settings.insert(settings.end(), command.begin(), command.end());
    return settings;
}

std::filesystem::path nextOutput(const std::filesystem::path &directory)
{
    static int count = 0;
    return directory / ("target-" + std::to_string(++count));
}
} // namespace

TargetApp::TargetApp(const std::vector<std::string> &command, const std::vector<std::string> &environment,
                     std::filesystem::path output)
    : m_process("/usr/bin/env", withSettings(environment, command), {})
    , m_output(std::move(output))
{
}

bool TargetApp::WaitUntilReady(const x11::Connection &connection)
{
    return x11::WaitUntil([&] {
        x11::ErrorTrap trap(connection.display());
        for (Window window : x11::TopLevelWindows(connection)) {
            const auto pid = x11::ReadLong(connection.display(), window, connection.atoms().netWmPid, XA_CARDINAL);
            if (pid == static_cast<unsigned long>(m_process.Pid()) && std::filesystem::exists(m_output))
                m_window = window;
        }
        return m_window != 0;
    }, 20s, 20ms);
}

std::string TargetApp::Received() const
{
    std::ifstream in(m_output, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string TargetApp::WaitToReceive(const std::string &expected) const
{
    x11::WaitUntil([&] { return Received() == expected; }, 20s, 20ms);
    return Received();
}

std::unique_ptr<TargetApp> StartEditor(const std::string &title, const std::filesystem::path &directory,
                                       const std::string &platform)
{
    const auto output = nextOutput(directory);
    return std::make_unique<TargetApp>(std::vector<std::string>{HIRAGANA_TEST_EDITOR, title, output},
                                       std::vector<std::string>{"QT_QPA_PLATFORM=" + platform}, output);
}

std::unique_ptr<TargetApp> StartInTerminal(std::vector<std::string> terminal, const std::filesystem::path &directory)
{
    const auto output = nextOutput(directory);
    terminal.insert(terminal.end(), {"sh", "-c", "stty raw -echo && exec cat > \"$0\"", output});
    return std::make_unique<TargetApp>(terminal, std::vector<std::string>{"LC_ALL=C.UTF-8"}, output);
}

std::unique_ptr<TargetApp> StartTerminal(const std::string &title, const std::filesystem::path &directory)
{
    return StartInTerminal({"xterm", "-u8", "-title", title, "-e"}, directory);
}

std::string AsReceived(std::u16string_view text, std::string_view lineBreak)
{
    const std::string typed = ToUtf8(text);
    std::string result;
    for (std::size_t i = 0; i < typed.size(); i += typed.compare(i, 2, "\r\n") == 0 ? 2 : 1)
        result += typed[i] == '\r' || typed[i] == '\n' ? std::string(lineBreak) : typed.substr(i, 1);
    return result;
}

std::string ReceivedBeforeMarker(Desktop &desktop, const TargetApp &app, const std::u16string &title)
{
    const bool typed = desktop.ActivateWindow(title) && desktop.SendKeystrokes(u"#end#");
    x11::WaitUntil([&] { return app.Received().ends_with("#end#"); }, 20s, 20ms);
    const std::string received = app.Received();
    if (!typed || !received.ends_with("#end#"))
        return "(no marker after: " + received + ")";
    return received.substr(0, received.size() - 5);
}

std::string KeymapDump()
{
    std::string dump;
    if (FILE *pipe = popen("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null", "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            dump.append(buffer, n);
        pclose(pipe);
    }
    return dump;
}

TemporaryDirectory::TemporaryDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "hiragana-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        m_path = pattern;
}

TemporaryDirectory::~TemporaryDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace hiragana::testing
