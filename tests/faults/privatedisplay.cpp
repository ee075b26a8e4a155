#include "privatedisplay.h"

#include "waiting.h"

#include <fstream>

#include <X11/Xlib.h>
#include <signal.h>

namespace hiragana::faults {

namespace {
using namespace std::chrono_literals;

bool windowManagerRuns(const std::string &display)
{
    Display *connection = XOpenDisplay(display.c_str());
    if (!connection)
        return false;
    const Atom check = XInternAtom(connection, "_NET_SUPPORTING_WM_CHECK", False);
    int count = 0;
    Atom *properties = XListProperties(connection, DefaultRootWindow(connection), &count);
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || properties[i] == check;
    if (properties)
        XFree(properties);
    XCloseDisplay(connection);
    return found;
}
} // namespace

PrivateDisplay::PrivateDisplay(const std::filesystem::path &directory)
{
    const auto numberFile = directory / "display";
    std::filesystem::remove(numberFile);
    // Xvfb picks a free display number itself and writes it to descriptor 3. Without -noreset
    // it would reset when the probe below disconnects, and refuse openbox for that moment.
    m_server = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{"sh", "-c",
                                 "exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>\"$0\"",
                                 numberFile.string()},
        std::vector<std::string>{});
    x11::WaitUntil([&] {
        std::ifstream in(numberFile);
        std::string number;
        if (std::getline(in, number) && !number.empty())
            m_name = ":" + number;
        return !m_name.empty();
    }, 20s, 20ms);
    // The number comes as soon as the server listens; connections may still be refused a moment.
    const bool reachable = x11::WaitUntil([&] {
        Display *connection = XOpenDisplay(m_name.c_str());
        if (connection)
            XCloseDisplay(connection);
        return connection != nullptr;
    }, 20s, 20ms);
    if (!reachable) {
        m_name.clear();
        return;
    }
    m_windowManager = std::make_unique<testing::ChildProcess>(
        std::vector<std::string>{"env", "DISPLAY=" + m_name, "openbox", "--sm-disable"}, std::vector<std::string>{});
    if (!x11::WaitUntil([&] { return windowManagerRuns(m_name); }, 20s, 20ms))
        m_name.clear();
}

PrivateDisplay::~PrivateDisplay()
{
    m_windowManager.reset();
    m_server.reset();
}

void PrivateDisplay::KillServer()
{
    if (m_server)
        kill(m_server->pid(), SIGTERM);
}

} // namespace hiragana::faults
