// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include "fakecharacter.h"
#include "hiragana.h"
#include <QCoreApplication>

#include "programdriver.h"

#include "keytable.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace hiragana::driver {

namespace {
using namespace std::chrono_literals;

constexpr int TwipsPerPixel = 15;
constexpr int ClientAreaHeightTwips = 8190;

// The height of the menu bar above the keys, from the window as this library builds it: the
// program builds the same on the same screen.
int menuBarHeight()
{
    Hiramod state;
    testing::RecordingCharacters characters;
    return Hiragana(state, characters).designSize().height() - ClientAreaHeightTwips / TwipsPerPixel;
}

// A test may take the display away from the program: the driver's own connection to it must
// then not end the test, as Xlib's default does.
std::unique_ptr<x11::Connection> openConnection(const std::string &display)
{
    auto connection = x11::Connection::Open(display.empty() ? nullptr : display.c_str());
    if (connection) {
        XSetIOErrorHandler([](Display *) { return 0; });
        XSetIOErrorExitHandler(connection->display(), [](Display *, void *) {}, nullptr);
    }
    return connection;
}
} // namespace

void ProcessDriverEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

ProgramDriver::ProgramDriver(const Options &options)
    : m_options(options)
    , m_connection(openConnection(options.display))
    , m_input(m_connection ? m_connection->display() : nullptr)
{
}

ProgramDriver::~ProgramDriver() = default;

bool ProgramDriver::Start()
{
    if (!m_connection)
        return false;
    m_menuBarHeight = menuBarHeight();
    QStringList environment = m_options.environment;
    if (!m_options.display.empty())
        environment << QStringLiteral("DISPLAY=") + QString::fromStdString(m_options.display);
    m_process = std::make_unique<ProgramProcess>(environment);
    m_windows = std::make_unique<ProgramWindows>(*m_connection, m_process->pid(), ProcessDriverEvents);
    const auto window = m_windows->WaitForTitled(KeyboardTitle, 30s);
    if (!window)
        return false;
    m_keyboard = *window;
    m_cameUpActive = m_windows->WaitUntilActive(m_keyboard, 10s);
    if (!m_cameUpActive && !m_windows->Activate(m_keyboard, 10s))
        return false;
    m_client = m_windows->ClientRect(m_keyboard);
    return Ping();
}

QRect ProgramDriver::keyRect(int number) const
{
    const KeyRecord &key = KeyTable.at(std::size_t(number - 1));
    const QRect twips(key.left, key.top, key.width, key.height);
    const QRect pixels(twips.topLeft() / TwipsPerPixel, twips.size() / TwipsPerPixel);
    return pixels.translated(m_client.topLeft() + QPoint(0, m_menuBarHeight));
}

bool ProgramDriver::ClickKey(int number)
{
    return m_input.ClickAt(keyRect(number).center());
}

unsigned long ProgramDriver::KeyFaceColour(int number) const
{
    const QPoint spot = keyRect(number).bottomLeft() + QPoint(6, -7);
    XImage *image = XGetImage(m_connection->display(), m_connection->root(), spot.x(), spot.y(), 1, 1, AllPlanes,
                              ZPixmap);
    if (!image)
        return 0;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

bool ProgramDriver::Ping()
{
    return m_windows->Ping(m_keyboard, 30s);
}

bool ProgramDriver::ActivateKeyboard()
{
    return m_windows->Activate(m_keyboard, 10s);
}

bool ProgramDriver::DismissNoTargetBox(KeySym closingKey)
{
    const auto box = m_windows->WaitForTitled(NoTargetBoxTitle, 30s);
    if (!box || !m_windows->Activate(*box, 10s))
        return false;
    m_input.Tap(closingKey);
    return m_windows->WaitUntilNoneTitled(NoTargetBoxTitle, 10s) && Ping() && ActivateKeyboard();
}

bool ProgramDriver::Quit()
{
    m_input.Tap(XK_q, XInput::Control);
    return m_process->WaitForExit(10s) && !m_process->Crashed() && m_process->ExitCode() == 0;
}

} // namespace hiragana::driver
