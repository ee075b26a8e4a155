// The real speech character on an X server with a window manager: while it speaks, clicks on its
// figure and on its balloon go through to the key beneath. No sound server: nothing is heard.
#include "characterspeaker.h"
#include "speechcharacter.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

QWidget *topLevel(const char *name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

void clickAt(QPoint point)
{
    Display *display = qApp->nativeInterface<QNativeInterface::QX11Application>()->display();
    XTestFakeMotionEvent(display, -1, point.x(), point.y(), CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

TEST(CharacterWindows, LetClicksThroughToTheKeyBeneath)
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/hiragana-test-has-no-sound-server");
    int noArguments = 0;
    QApplication application(noArguments, nullptr);
    QPushButton key; // a key of the keyboard, larger than the whole character
    int keyClicks = 0;
    QObject::connect(&key, &QPushButton::clicked, [&] { ++keyClicks; });
    key.setGeometry(100, 100, 600, 400);
    key.show();
    key.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&key));
    const QPoint corner = key.mapToGlobal(QPoint(20, 20));
    const auto characters = hiragana::CreateCharacterCollection();
    hiragana::CharacterSpeaker speaker(SetUpCharacter(*characters, corner.x() * 15 - 75.0f, corner.y() * 15 - 840.0f));
    characters->Prepare(); // as the program does once its keyboard is on the screen
    QWidget *figure = topLevel("CharacterFigure"), *balloon = topLevel("CharacterBalloon");
    ASSERT_TRUE(figure && balloon);

    speaker.SayAloud(u"あいうえおかきくけこさしすせそ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon->isVisible(); }, 30'000)) << "the character never spoke";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(figure));
    clickAt(corner + QPoint(figure->width() / 2, figure->height() / 4)); // the head
    clickAt(balloon->geometry().center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return keyClicks == 2; }, 30'000)) << keyClicks << " of 2 clicks went through";
}

} // namespace
