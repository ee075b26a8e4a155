// The real speech character on an X server with a window manager (run by scripts/with-xvfb):
// it shows where it was put, never takes the focus from the keyboard, lets clicks through to
// the keys beneath it, and says its text (into a WAV file, as no sound server runs).
#include "characterspeaker.h"
#include "speechcharacter.h"
#include "speechoutput.h"
#include "wavfile.h"
#include "windowtestsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QtGui/qguiapplication_platform.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <X11/Xlib.h>

namespace hiragana {
namespace {

constexpr int Patience = 30'000; // ms; only a broken character ever waits this long
// Long enough that the balloon is still up while the test clicks through it.
const std::u16string LongText = u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも";

Display *XDisplay() { return qApp->nativeInterface<QNativeInterface::QX11Application>()->display(); }

QPoint ScreenPositionOf(const QWidget &window)
{
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(XDisplay(), window.winId(), DefaultRootWindow(XDisplay()), 0, 0, &x, &y, &child);
    return {x, y};
}

// The top-level window (or window-manager frame) on the root window that holds window.
Window TopLevelOf(WId window)
{
    for (Window current = window;;) {
        Window root = 0;
        Window parent = 0;
        Window *children = nullptr;
        unsigned count = 0;
        XQueryTree(XDisplay(), current, &root, &parent, &children, &count);
        if (children)
            XFree(children);
        if (parent == root)
            return current;
        current = parent;
    }
}

// Whether above lies above below in the stacking order of the screen.
bool StacksAbove(const QWidget &above, const QWidget &below)
{
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    XQueryTree(XDisplay(), DefaultRootWindow(XDisplay()), &root, &parent, &children, &count);
    const std::vector<Window> bottomToTop(children, children + count);
    if (children)
        XFree(children);
    const auto position = [&](const QWidget &window) {
        return std::find(bottomToTop.begin(), bottomToTop.end(), TopLevelOf(window.winId())) - bottomToTop.begin();
    };
    return position(above) > position(below);
}

WId XInputFocus()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(XDisplay(), &focus, &revert);
    return focus;
}

QWidget *TopLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name)
            return widget;
    }
    return nullptr;
}

class CharacterWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("PULSE_SERVER", "unix:/nonexistent/hiragana-test-has-no-sound-server");
        ASSERT_TRUE(m_wavFolder.isValid());
        qputenv(SpeechWavDirVariable, m_wavFolder.path().toUtf8());

        // A stand-in for the keyboard: a text box with the focus, and a key that takes none.
        auto *layout = new QVBoxLayout(&m_keyboard);
        layout->addWidget(&m_textBox);
        layout->addWidget(&m_key);
        m_key.setFocusPolicy(Qt::NoFocus);
        m_key.setMinimumSize(500, 300);
        QObject::connect(&m_key, &QPushButton::clicked, [this] { ++m_keyClicks; });
        m_keyboard.move(100, 100);
        m_keyboard.show();
        m_keyboard.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_keyboard));
        m_textBox.setFocus();
    }

    void ExpectKeyboardKeepsTheFocus()
    {
        EXPECT_EQ(QApplication::activeWindow(), &m_keyboard);
        EXPECT_EQ(QApplication::focusWidget(), &m_textBox);
        EXPECT_EQ(XInputFocus(), m_keyboard.winId());
    }

    QTemporaryDir m_wavFolder;
    QWidget m_keyboard;
    QLineEdit m_textBox;
    QPushButton m_key{QStringLiteral("key")};
    int m_keyClicks = 0;
};

TEST_F(CharacterWindow, ShowsWhereItWasPutKeepsOutOfTheWayAndSpeaks)
{
    const QPoint corner = m_key.mapToGlobal(QPoint(20, 20));
    const auto characters = CreateCharacterCollection();
    Character &mic = SetUpCharacter(*characters, float(corner.x() * 15 - 75), float(corner.y() * 15 - 840));
    characters->Prepare(); // as the program does once its keyboard is on the screen
    CharacterSpeaker speaker(mic);
    QWidget *figure = TopLevel(QStringLiteral("CharacterFigure"));
    QWidget *balloon = TopLevel(QStringLiteral("CharacterBalloon"));
    ASSERT_TRUE(figure && balloon);
    for (QWidget *window : {figure, balloon}) {
        EXPECT_TRUE(window->windowFlags().testFlags(Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput
                                                    | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint));
        EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_FALSE(window->isVisible());
    }

    speaker.SayAloud(LongText);
    ASSERT_TRUE(QTest::qWaitFor([&] { return balloon->isVisible(); }, Patience)) << "the character never spoke";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(figure));

    EXPECT_EQ(figure->pos(), corner);
    EXPECT_EQ(ScreenPositionOf(*figure), corner);
    EXPECT_LE(figure->width(), 64);
    EXPECT_LE(figure->height(), 128);
    EXPECT_GE(balloon->x(), figure->x() + figure->width() / 2) << "the balloon covers the figure";
    // No compositor runs here: the window is cut to the figure's shape.
    const QPoint head(figure->width() / 2, figure->height() / 4);
    EXPECT_TRUE(figure->mask().contains(head));
    EXPECT_FALSE(figure->mask().contains(QPoint(0, 0)));
    ExpectKeyboardKeepsTheFocus();

    // Clicks on the figure and on the balloon reach the key beneath them.
    windowtest::ClickAt(corner + head);
    windowtest::ClickAt(balloon->geometry().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_keyClicks == 2; }, Patience));
    EXPECT_TRUE(balloon->isVisible()) << "the balloon was gone before the click";
    ExpectKeyboardKeepsTheFocus();
    // The window manager raised the clicked keyboard; the character stays in front of it.
    EXPECT_TRUE(StacksAbove(*figure, m_keyboard));
    EXPECT_TRUE(StacksAbove(*balloon, m_keyboard));

    ASSERT_TRUE(QTest::qWaitFor([&] { return !figure->isVisible(); }, Patience)) << "the character never hid";
    EXPECT_FALSE(balloon->isVisible());
    ExpectKeyboardKeepsTheFocus();

    const QStringList wavs = QDir(m_wavFolder.path()).entryList({QStringLiteral("*.wav")});
    ASSERT_EQ(wavs.size(), 1);
    const testing::WavFile said = testing::ReadWav(QDir(m_wavFolder.path()).filePath(wavs[0]).toStdString());
    EXPECT_GE(said.SoundingSeconds(), 1.0);
}

TEST_F(CharacterWindow, ComesBackWhereItWasPutInFrontOfTheMovedKeyboard)
{
    const auto characters = CreateCharacterCollection();
    Character &mic = SetUpCharacter(*characters, 1500, 1200);
    CharacterSpeaker speaker(mic);
    // Not prepared: the first request makes the windows.
    speaker.SayAloud(u"が");
    QWidget *figure = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        figure = TopLevel(QStringLiteral("CharacterFigure"));
        return figure && figure->isVisible();
    }, Patience));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !figure->isVisible(); }, Patience));

    // The keyboard moves over the character's place and is raised.
    m_keyboard.move(80, 100);
    m_keyboard.raise();
    speaker.SayAloud(u"ぱ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return figure->isVisible(); }, Patience));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(figure));
    EXPECT_EQ(ScreenPositionOf(*figure), QPoint(105, 136));
    EXPECT_TRUE(StacksAbove(*figure, m_keyboard));
    ExpectKeyboardKeepsTheFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !figure->isVisible(); }, Patience));
}

} // namespace
} // namespace hiragana
