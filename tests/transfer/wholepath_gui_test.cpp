// The transfer as a user does it: the real program composes がっこう, a new line and へ from
// clicked keys, and "てんそう" types the text into an xterm titled "Microsoft Word".
#include <gtest/gtest.h>

#include <QApplication>
#include <QRect>
#include <QScreen>

#include "activation.h"
#include "errortrap.h"
#include "hiragana.h"
#include "keytable.h"
#include "properties.h"
#include "startupgeometry.h"
#include "targetapps.h"
#include "waiting.h"
#include "windowfinder.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>

using namespace hiragana;
using namespace hiragana::testing;
using namespace std::chrono_literals;

namespace {

// Enough of a speech character to build the window for its size.
class NoCharacters : public CharacterCollection {
public:
    void Load(const std::u16string &, const std::u16string &) override {}
    Character &Item(const std::u16string &) override { return m_silent; }

private:
    class Silent : public Character {
    public:
        void MoveTo(std::int16_t, std::int16_t) override {}
        void Show() override {}
        void Speak(const std::u16string &) override {}
        void Hide() override {}
    } m_silent;
};

std::optional<Window> windowOfProcess(const x11::Connection &connection, pid_t pid)
{
    x11::ErrorTrap trap(connection.display());
    for (Window window : x11::TopLevelWindows(connection)) {
        if (x11::ReadLong(connection.display(), window, connection.atoms().netWmPid, XA_CARDINAL) == unsigned(pid))
            return window;
    }
    return std::nullopt;
}

QPoint topLeftOnScreen(const x11::Connection &connection, Window window)
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(connection.display(), window, connection.root(), 0, 0, &x, &y, &child);
    return {x, y};
}

QMargins frameExtents(const x11::Connection &connection, Window window)
{
    const auto extents = x11::ReadLongs(connection.display(), window,
                                        XInternAtom(connection.display(), "_NET_FRAME_EXTENTS", False), XA_CARDINAL);
    if (extents.size() != 4)
        return {};
    return QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]));
}

// A click as a hand gives it: the button comes up a little after it went down.
void clickAt(const x11::Connection &connection, QPoint point)
{
    constexpr unsigned long HeldMilliseconds = 30;
    XTestFakeMotionEvent(connection.display(), -1, point.x(), point.y(), CurrentTime);
    XTestFakeButtonEvent(connection.display(), Button1, True, CurrentTime);
    XTestFakeButtonEvent(connection.display(), Button1, False, HeldMilliseconds);
    XFlush(connection.display());
}

QPoint keyCentre(QPoint clientTopLeft, int menuBarHeight, int number)
{
    const KeyRecord &key = KeyTable[number - 1];
    const QRect pixels(key.left / 15, key.top / 15, key.width / 15, key.height / 15);
    return clientTopLeft + QPoint(0, menuBarHeight) + pixels.center();
}

TEST(WholePath, ClickedKeysAndTheTransferKeyTypeTheTextIntoTheTerminal)
{
    auto connection = x11::Connection::Open(nullptr);
    ASSERT_TRUE(connection);
    TemporaryDirectory directory;
    auto word = StartTerminal("Microsoft Word", directory.path());
    ASSERT_TRUE(word->WaitUntilReady(*connection));

    // The window as its library builds it tells how high the menu bar above the keys is.
    Hiramod layoutState;
    NoCharacters characters;
    const QSize designSize = Hiragana(layoutState, characters).designSize();
    const int menuBarHeight = designSize.height() - 8190 / 15;

    ChildProcess program({HIRAGANA_PROGRAM}, {});
    std::optional<Window> keyboard;
    ASSERT_TRUE(x11::WaitUntil([&] { return (keyboard = windowOfProcess(*connection, program.pid())).has_value(); }, 20s));
    ASSERT_TRUE(x11::WaitUntil([&] { return x11::FocusIsIn(*connection, *keyboard); }, 10s));
    // The window may still be moved to its start-up place once it shows.
    const QPoint client = ComputeStartUpGeometry(QGuiApplication::primaryScreen()->geometry(), designSize,
                                                 frameExtents(*connection, *keyboard))
                              .client.topLeft();
    ASSERT_TRUE(x11::WaitUntil([&] { return topLeftOnScreen(*connection, *keyboard) == client; }, 10s));

    // が (か, the voiced mark, confirm), っ, こ, う, a new line, へ; then "てんそう".
    for (int number : {6, 47, 65, 66, 65, 10, 65, 3, 65, 64, 29, 65, 67})
        clickAt(*connection, keyCentre(client, menuBarHeight, number));

    EXPECT_EQ(word->WaitToReceive("がっこう\rへ"), "がっこう\rへ");
    EXPECT_TRUE(x11::FocusIsIn(*connection, word->window())) << "the target stays in front";
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
