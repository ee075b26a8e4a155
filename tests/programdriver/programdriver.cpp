// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>

#include "programdriver.h"

#include "activation.h"
#include "errortrap.h"
#include "keyboardmodel.h"
#include "properties.h"
#include "targetsync.h"
#include "windowfinder.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <map>
#include <thread>

namespace hiragana::driver {

namespace {
constexpr std::uint32_t WindowBackground = 0xE0E0E0;

// The driver may outlive the display (a test takes it away): its own connection must then
// not end the test, as Xlib's default does.
std::unique_ptr<x11::Connection> openConnection()
{
    auto connection = x11::Connection::Open(nullptr);
    if (connection) {
        XSetIOErrorHandler([](Display *) { return 0; });
        XSetIOErrorExitHandler(connection->display(), [](Display *, void *) {}, nullptr);
    }
    return connection;
}

// The colours (0xRRGGBB) at these points of the screen, one picture for each row of them.
std::vector<std::uint32_t> coloursAt(Display *display, const std::vector<QPoint> &points)
{
    std::map<int, std::pair<int, int>> rows; // y: leftmost and rightmost x
    for (const QPoint &point : points) {
        auto [row, added] = rows.try_emplace(point.y(), point.x(), point.x());
        row->second = {std::min(row->second.first, point.x()), std::max(row->second.second, point.x())};
    }
    std::map<int, XImage *> pictures;
    for (const auto &[y, span] : rows)
        pictures[y] = XGetImage(display, DefaultRootWindow(display), span.first, y, unsigned(span.second - span.first + 1),
                                1, AllPlanes, ZPixmap);
    std::vector<std::uint32_t> colours;
    for (const QPoint &point : points) {
        XImage *picture = pictures[point.y()];
        colours.push_back(picture ? XGetPixel(picture, point.x() - rows[point.y()].first, 0) & 0xFFFFFF : 0);
    }
    for (const auto &[y, picture] : pictures) {
        if (picture)
            XDestroyImage(picture);
    }
    return colours;
}
} // namespace

ProgramDriver::ProgramDriver(const QStringList &environment)
    : m_environment(environment)
    , m_connection(openConnection())
    , m_input(m_connection ? m_connection->display() : nullptr)
{
}

ProgramDriver::~ProgramDriver()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

void ProgramDriver::Launch()
{
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    // The program chooses its platform itself, as it does on a user's desktop.
    settings.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString &setting : m_environment)
        settings.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    m_process.setProcessEnvironment(settings);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(qEnvironmentVariable("HIRAGANA_TEST_PROGRAM", QStringLiteral(HIRAGANA_PROGRAM)), {});
    m_process.waitForStarted();
}

bool ProgramDriver::Start()
{
    if (!m_connection)
        return false;
    Launch();
    const auto window = WaitForTitled(KeyboardTitle, 30s);
    if (!window || IsDialog(*window))
        return false;
    m_keyboard = *window;
    m_cameUpActive = WaitUntilActive(m_keyboard, 10s);
    return (m_cameUpActive || Activate(m_keyboard)) && WaitUntil([this] { return measureMenuBar(); }, 10s) && Ping();
}

// The keys begin below the menu bar, where the window's grey background shows at its right
// edge; until the window is painted whole, some of it is black.
bool ProgramDriver::measureMenuBar()
{
    m_client = ClientRect(); // where it stays, once the window manager has framed it
    std::vector<QPoint> column;
    for (int y = 0; y < 80; ++y)
        column.push_back(m_client.topRight() + QPoint(-2, y));
    const auto colours = coloursAt(m_connection->display(), column);
    m_menuBarHeight = int(std::ranges::find(colours, WindowBackground) - colours.begin());
    return m_menuBarHeight > 0 && m_menuBarHeight < int(column.size()) && std::ranges::count(colours, 0u) == 0;
}

QRect ProgramDriver::ClientRect() const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, m_keyboard, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, m_keyboard, m_connection->root(), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

QRect ProgramDriver::FrameRect() const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    const auto extents =
        x11::ReadLongs(display, m_keyboard, XInternAtom(display, "_NET_FRAME_EXTENTS", False), XA_CARDINAL);
    if (extents.size() != 4)
        return ClientRect();
    return ClientRect().adjusted(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
}

std::vector<Window> ProgramDriver::Titled(const std::string &title) const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    std::vector<Window> found;
    for (const Window window : x11::TopLevelWindows(*m_connection)) {
        XWindowAttributes attributes{};
        const auto pid = x11::ReadLong(display, window, m_connection->atoms().netWmPid, XA_CARDINAL);
        if (pid == static_cast<unsigned long>(m_process.processId()) && x11::ReadTitle(*m_connection, window) == title
            && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
            found.push_back(window);
    }
    return trap.Failed() ? std::vector<Window>() : found;
}

std::optional<Window> ProgramDriver::WaitForTitled(const std::string &title, std::chrono::milliseconds bound)
{
    std::vector<Window> found;
    WaitUntil([&] { return !(found = Titled(title)).empty(); }, bound);
    return found.empty() ? std::nullopt : std::optional(found.front());
}

bool ProgramDriver::IsDialog(Window window) const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    const auto types = x11::ReadLongs(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM);
    return std::ranges::find(types, dialog) != types.end();
}

std::vector<QRect> ProgramDriver::UnmanagedWindows() const
{
    Display *display = m_connection->display();
    x11::ErrorTrap trap(display);
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    std::vector<QRect> shown;
    if (!XQueryTree(display, m_connection->root(), &root, &parent, &children, &count))
        return shown;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(display, children[i], &a) && a.override_redirect && a.map_state == IsViewable
            && x11::ReadLong(display, children[i], m_connection->atoms().netWmPid, XA_CARDINAL)
                == static_cast<unsigned long>(m_process.processId()))
            shown.emplace_back(a.x, a.y, a.width, a.height);
    }
    if (children)
        XFree(children);
    return trap.Failed() ? std::vector<QRect>() : shown;
}

bool ProgramDriver::MenuOpen() const
{
    const int menuBarBottom = m_client.top() + m_menuBarHeight;
    return std::ranges::any_of(UnmanagedWindows(), [&](const QRect &window) { return window.top() == menuBarBottom; });
}

bool ProgramDriver::IsActive(Window window) const
{
    const auto active = x11::ReadLong(m_connection->display(), m_connection->root(),
                                      m_connection->atoms().netActiveWindow, XA_WINDOW);
    return active == window && x11::FocusIsIn(*m_connection, window);
}

bool ProgramDriver::WaitUntilActive(Window window, std::chrono::milliseconds bound)
{
    return WaitUntil([&] { return IsActive(window); }, bound);
}

bool ProgramDriver::Activate(Window window)
{
    if (!IsActive(window))
        x11::ActivateWindow(*m_connection, window, 0ms);
    return WaitUntilActive(window, 10s);
}

QRect ProgramDriver::keyRect(int number) const
{
    const testing::KeyPlace twips = testing::PlaceOf(number);
    return QRect(twips.left / 15, twips.top / 15, twips.width / 15, twips.height / 15)
        .translated(m_client.topLeft() + QPoint(0, m_menuBarHeight));
}

bool ProgramDriver::ClickKey(int number)
{
    return m_input.ClickAt(keyRect(number).center());
}

std::array<std::uint32_t, 70> ProgramDriver::Faces() const
{
    std::vector<QPoint> spots;
    for (int number = 1; number <= 70; ++number)
        spots.push_back(FaceSpot(number));
    const auto colours = coloursAt(m_connection->display(), spots);
    std::array<std::uint32_t, 70> faces{};
    std::ranges::copy(colours, faces.begin());
    return faces;
}

QPoint ProgramDriver::FaceSpot(int number) const
{
    return keyRect(number).bottomLeft() + QPoint(6, -7);
}

bool ProgramDriver::Ping()
{
    return x11::PingWindow(*m_connection, m_keyboard, ++m_stamp, 30s, ServeEvents);
}

bool ProgramDriver::DismissNoTargetBox(KeySym closingKey)
{
    const auto box = WaitForTitled(NoTargetBoxTitle, 30s);
    if (!box || !Activate(*box))
        return false;
    m_input.Tap(closingKey);
    return WaitUntil([this] { return Titled(NoTargetBoxTitle).empty(); }, 10s) && Ping() && ActivateKeyboard();
}

bool ProgramDriver::Quit()
{
    m_input.Tap(XK_q, XInput::Control);
    return WaitForExit(10s) && !Crashed() && ExitCode() == 0;
}

bool ProgramDriver::WaitForExit(std::chrono::milliseconds bound)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(int(bound.count()));
}

long ProgramDriver::ResidentKiB() const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

bool ProgramDriver::WaitUntil(const std::function<bool()> &condition, std::chrono::milliseconds bound) const
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ServeEvents();
        std::this_thread::sleep_for(1ms);
    }
}

void ProgramDriver::ServeEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace hiragana::driver
