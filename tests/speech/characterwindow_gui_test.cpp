// The real speech character on an X server with a window manager: it shows where SetUpCharacter
// put it, in front of the keyboard even after the keyboard was raised, never takes the focus,
// and lets clicks through to the keys beneath it. No sound server: nothing is heard.
#include "characterspeaker.h"
#include "speechcharacter.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>

namespace {

Display *display() { return qApp->nativeInterface<QNativeInterface::QX11Application>()->display(); }

QPoint screenPositionOf(const QWidget &window)
{
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display(), window.winId(), DefaultRootWindow(display()), 0, 0, &x, &y, &child);
    return {x, y};
}

// Where widget's window (or the window manager's frame around it) lies among the root's
// children: the higher, the more in front.
std::ptrdiff_t stackingPlace(const QWidget &widget)
{
    const auto children = [](Window window, Window &parent) {
        Window root = 0, *list = nullptr;
        unsigned count = 0;
        XQueryTree(display(), window, &root, &parent, &list, &count);
        std::vector<Window> result(list, list + count);
        XFree(list);
        return result;
    };
    Window window = widget.winId(), parent = 0;
    for (children(window, parent); parent != DefaultRootWindow(display()); children(window, parent))
        window = parent;
    const std::vector<Window> bottomFirst = children(DefaultRootWindow(display()), parent);
    return std::ranges::find(bottomFirst, window) - bottomFirst.begin();
}

QWidget *topLevel(const char *name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto found = std::ranges::find_if(windows, [name](QWidget *window) { return window->objectName() == name; });
    return found == windows.end() ? nullptr : *found;
}

void clickAt(QPoint point)
{
    XTestFakeMotionEvent(display(), -1, point.x(), point.y(), CurrentTime);
    XTestFakeButtonEvent(display(), 1, True, CurrentTime);
    XTestFakeButtonEvent(display(), 1, False, CurrentTime);
    XFlush(display());
}

TEST(CharacterWindows, ShowWhereTheyWerePutInFrontWithoutTheFocusAndLetClicksThrough)
{
    QWidget keyboard; // a stand-in: a text box with the focus and a key that takes none
    QLineEdit textBox(&keyboard);
    QPushButton key(&keyboard);
    key.setGeometry(0, 30, 600, 400);
    key.setFocusPolicy(Qt::NoFocus);
    int keyClicks = 0;
    QObject::connect(&key, &QPushButton::clicked, [&] { ++keyClicks; });
    keyboard.setGeometry(100, 100, 600, 430);
    keyboard.show();
    keyboard.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&keyboard));
    textBox.setFocus();
    const QPoint corner = key.mapToGlobal(QPoint(20, 20));
    const auto characters = hiragana::CreateCharacterCollection();
    hiragana::CharacterSpeaker speaker(SetUpCharacter(*characters, corner.x() * 15 - 75.0f, corner.y() * 15 - 840.0f));
    characters->Prepare(); // as the program does once its keyboard is on the screen
    QWidget *figure = topLevel("CharacterFigure"), *balloon = topLevel("CharacterBalloon");
    ASSERT_TRUE(figure && balloon);

    for (int time = 0; time < 2; ++time) { // the second after the clicks raised the keyboard
        speaker.SayAloud(u"あいうえおかきくけこさしすせそ");
        ASSERT_TRUE(QTest::qWaitFor([&] { return balloon->isVisible(); }, 30'000)) << "the character never spoke";
        ASSERT_TRUE(QTest::qWaitForWindowExposed(figure));
        EXPECT_EQ(screenPositionOf(*figure), corner);
        EXPECT_GT(stackingPlace(*figure), stackingPlace(keyboard));
        clickAt(corner + QPoint(figure->width() / 2, figure->height() / 4)); // the head
        clickAt(balloon->geometry().center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return keyClicks == 2 * (time + 1); }, 30'000)) << "a click was caught";
        EXPECT_GT(stackingPlace(*figure), stackingPlace(keyboard));
        EXPECT_GT(stackingPlace(*balloon), stackingPlace(keyboard));
        EXPECT_EQ(QApplication::activeWindow(), &keyboard);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !figure->isVisible(); }, 30'000)) << "the character never hid";
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display(), &focus, &revert);
        EXPECT_EQ(focus, keyboard.winId());
        EXPECT_EQ(QApplication::focusWidget(), &textBox);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/hiragana-test-has-no-sound-server");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
