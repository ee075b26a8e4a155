// The real program as a user starts it: it shows one window titled "Hiragana", centred for its
// size as created and then 9000 twips high, with the focus in the text box; clicks on the keys
// compose a word in the text box; Ctrl+Q ends it. Its screenshot is kept in the build tree.
#include "characterdata.h"
#include "hiragana.h"
#include "startupgeometry.h"
#include "windowtestsupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <optional>
#include <vector>

using namespace hiragana;
using namespace hiragana::windowtest;

namespace {
Display *display()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

std::vector<unsigned long> cardinals(Window window, const char *property, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display(), window, XInternAtom(display(), property, False), 0, 1024, False, type,
                           &actualType, &format, &count, &remaining, &data) == Success
        && format == 32) {
        const auto *items = reinterpret_cast<const unsigned long *>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

QString windowName(Window window)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    QString name;
    if (XGetWindowProperty(display(), window, XInternAtom(display(), "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(display(), "UTF8_STRING", False), &actualType, &format, &count,
                           &remaining, &data) == Success
        && data)
        name = QString::fromUtf8(reinterpret_cast<const char *>(data), int(count));
    if (data)
        XFree(data);
    return name;
}

// The managed windows of the given process, as the window manager lists them.
std::vector<Window> windowsOfProcess(qint64 pid)
{
    std::vector<Window> windows;
    for (const unsigned long window : cardinals(DefaultRootWindow(display()), "_NET_CLIENT_LIST", XA_WINDOW)) {
        const auto pids = cardinals(window, "_NET_WM_PID", XA_CARDINAL);
        if (!pids.empty() && qint64(pids.front()) == pid)
            windows.push_back(window);
    }
    return windows;
}

std::optional<Window> windowOfProcess(qint64 pid)
{
    const auto windows = windowsOfProcess(pid);
    return windows.empty() ? std::nullopt : std::optional<Window>(windows.front());
}

bool isDialog(Window window)
{
    const auto types = cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
    const Atom dialog = XInternAtom(display(), "_NET_WM_WINDOW_TYPE_DIALOG", False);
    return std::find(types.begin(), types.end(), dialog) != types.end();
}

void startAsAUser(QProcess &program, const QProcessEnvironment &environment)
{
    QProcessEnvironment withoutPlatform = environment;
    withoutPlatform.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(withoutPlatform);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(HIRAGANA_PROGRAM), {});
}

QRect clientRect(Window window)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display(), window, &attributes);
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display(), window, DefaultRootWindow(display()), 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

QMargins frameExtents(Window window)
{
    const auto extents = cardinals(window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (extents.size() != 4)
        return {};
    return QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
}

bool isActive(Window window)
{
    const auto active = cardinals(DefaultRootWindow(display()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return !active.empty() && active.front() == window;
}

// What the program's text box holds, copied out through the clipboard as a user would.
QString copiedText()
{
    PressKey(XK_a, Control);
    PressKey(XK_c, Control);
    QTest::qWait(100);
    return QGuiApplication::clipboard()->text();
}
} // namespace

class AppTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsCentredAndComposesByClicks();
    void aStartUpFailureIsReportedBeforeTheWindowShows();

private:
    QPoint keyCentre(const QRect &client, int number) const;

    int m_menuBarHeight = 0;
};

QPoint AppTest::keyCentre(const QRect &client, int number) const
{
    const KeyRecord &key = KeyTable[number - 1];
    const QRect twips(key.left, key.top, key.width, key.height);
    return client.topLeft() + QPoint(0, m_menuBarHeight) + QRect(twips.topLeft() / 15, twips.size() / 15).center();
}

void AppTest::startsCentredAndComposesByClicks()
{
    // The window as this library builds it tells the size the program's window has as created.
    Hiramod state;
    RecordingCharacters characters;
    const QSize designSize = Hiragana(state, characters).designSize();
    m_menuBarHeight = designSize.height() - 8190 / 15;

    QProcess program;
    startAsAUser(program, QProcessEnvironment::systemEnvironment());
    QVERIFY(program.waitForStarted());

    std::optional<Window> window;
    QTRY_VERIFY_WITH_TIMEOUT((window = windowOfProcess(program.processId())).has_value(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(isActive(*window), 10000);
    QCOMPARE(windowName(*window), QStringLiteral("Hiragana"));

    const QMargins frame = frameExtents(*window);
    const StartUpGeometry expected =
        ComputeStartUpGeometry(QGuiApplication::primaryScreen()->geometry(), designSize, frame);
    const QRect client = clientRect(*window);
    QCOMPARE(client, expected.client);
    QCOMPARE(client.marginsAdded(frame), expected.frame);
    QCOMPARE(client.marginsAdded(frame).height() * 15, 9000);

    // The focus is in the text box: what is typed lands there.
    QGuiApplication::clipboard()->clear();
    PressKey(XK_x);
    QTRY_COMPARE_WITH_TIMEOUT(copiedText(), QStringLiteral("x"), 10000);

    // が (か and the voiced mark), っ, こ, う, each confirmed. The confirm overwrites the x,
    // which the keyboard never took over.
    // Clicks at a user's pace: two presses closer than a double-click apart make a double click.
    const int pace = QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100;
    for (const int number : {6, 47, 65, 66, 65, 10, 65, 3, 65}) {
        ClickAt(keyCentre(client, number));
        QTest::qWait(pace);
    }
    QTRY_COMPARE_WITH_TIMEOUT(copiedText(), QStringLiteral("がっこう"), 10000);

    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, expected.frame.x(), expected.frame.y(), expected.frame.width(),
                                         expected.frame.height())
                            .toImage();
    QVERIFY(shot.save(QStringLiteral(HIRAGANA_SCREENSHOT)));
    qInfo("Screenshot of the keyboard: %s", HIRAGANA_SCREENSHOT);
    const QPoint faceOfA = keyCentre(client, 1) - expected.frame.topLeft() - QPoint(26, -25);
    QCOMPARE(shot.pixelColor(faceOfA), QColor(255, 255, 128));

    PressKey(XK_q, Control);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

// Without its speech character's data the program cannot start: it reports the failure in a
// message box (its wording is checked in the window's own tests), never shows its window, and
// ends with a failure status once the user closes the box.
void AppTest::aStartUpFailureIsReportedBeforeTheWindowShows()
{
    QTemporaryDir noCharacters;
    QVERIFY(noCharacters.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(CharacterDirVariable), noCharacters.path());
    QProcess program;
    startAsAUser(program, environment);
    QVERIFY(program.waitForStarted());

    std::optional<Window> report;
    QTRY_VERIFY_WITH_TIMEOUT((report = windowOfProcess(program.processId())).has_value(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(isActive(*report), 10000);
    QVERIFY(isDialog(*report));
    QCOMPARE(windowsOfProcess(program.processId()).size(), std::size_t(1));

    QCOMPARE(windowName(*report), QStringLiteral("Hiragana"));
    PressKey(XK_Return);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
}

QTEST_MAIN(AppTest)
#include "app_gui_test.moc"
