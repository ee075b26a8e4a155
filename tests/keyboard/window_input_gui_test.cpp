// The keyboard window driven by real input through the X server: focus colours as they show on
// screen, the tab order, clicks, Space and Enter, and the menu shortcuts.
#include "fakecharacter.h"
#include "hiragana.h"
#include "keybutton.h"
#include "windowtestsupport.h"

#include <QApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include <X11/keysym.h>

#include <memory>

using namespace hiragana;
using namespace hiragana::windowtest;

class WindowInputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void tabVisitsTheKeysInKeyNumberOrder();
    void shiftTabGoesBack();
    void clicksMoveTheFocusColour();
    void menuAndDeactivationChangeNoColour();
    void spaceAndEnterClick_data();
    void spaceAndEnterClick();
    void shortcutsChooseTheTarget();

private:
    KeyButton *key(int number) const;
    void expectFace(int number, std::uint32_t colour) const;
    void expectOwnFaces() const;
    void focusTextBox() const;

    Hiramod m_state;
    hiragana::testing::RecordingCharacters m_characters;
    std::unique_ptr<Hiragana> m_window;
    QPlainTextEdit *m_text1 = nullptr;
};

KeyButton *WindowInputTest::key(int number) const
{
    auto *button = m_window->findChild<KeyButton *>(QStringLiteral("Command%1").arg(number));
    Q_ASSERT(button);
    return button;
}

void WindowInputTest::expectFace(int number, std::uint32_t colour) const
{
    QTRY_COMPARE(FaceColourOnScreen(*key(number)), ColourFromWindowsValue(colour));
}

void WindowInputTest::expectOwnFaces() const
{
    for (const KeyRecord &record : KeyTable)
        QTRY_COMPARE(FaceColourOnScreen(*key(record.tabIndex)), ColourFromWindowsValue(record.faceColour));
}

void WindowInputTest::focusTextBox() const
{
    QVERIFY(Click(*m_text1));
    QTRY_COMPARE(QApplication::focusWidget(), m_text1);
}

void WindowInputTest::initTestCase()
{
    m_window = std::make_unique<Hiragana>(m_state, m_characters);
    m_window->Load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_text1 = m_window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    QVERIFY(m_text1);
}

void WindowInputTest::init()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    focusTextBox();
}

void WindowInputTest::cleanupTestCase()
{
    m_window.reset();
}

// From the text box round to it again; each key shows the focus in turn, then all their own colours.
void WindowInputTest::tabVisitsTheKeysInKeyNumberOrder()
{
    QCOMPARE(QApplication::focusWidget(), m_text1);
    for (int number = 1; number <= 70; ++number) {
        PressKey(XK_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), key(number));
        const KeyRecord &record = KeyTable[number - 1];
        expectFace(number, record.showsFocus ? FaceColour::Focused : record.faceColour);
        if (number > 1)
            expectFace(number - 1, KeyTable[number - 2].faceColour);
    }
    PressKey(XK_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), m_text1);
    expectOwnFaces();
}

void WindowInputTest::shiftTabGoesBack()
{
    PressKey(XK_Tab, Shift);
    QTRY_COMPARE(QApplication::focusWidget(), key(70));
    PressKey(XK_Tab, Shift);
    QTRY_COMPARE(QApplication::focusWidget(), key(69));
    expectFace(69, FaceColour::Focused);
    expectFace(70, FaceColour::Blue);
    PressKey(XK_Tab, Shift);
    QTRY_COMPARE(QApplication::focusWidget(), key(68));
    expectFace(68, FaceColour::Focused);
    expectFace(69, FaceColour::Pink);
}

// The digits go back to green and the punctuation to pink; the five keys that show no focus
// never turn red, while the key that had the focus still returns to its own colour.
void WindowInputTest::clicksMoveTheFocusColour()
{
    QVERIFY(Click(*key(1)));
    QTRY_COMPARE(QApplication::focusWidget(), key(1));
    expectFace(1, FaceColour::Focused);

    QVERIFY(Click(*key(52)));
    QTRY_COMPARE(QApplication::focusWidget(), key(52));
    expectFace(52, FaceColour::Focused);
    expectFace(1, FaceColour::Yellow);

    // "１" is pending: confirm appends it, says it and puts the focus into the text box.
    m_characters.mic.spoken.clear();
    QVERIFY(Click(*key(65)));
    QTRY_COMPARE(QApplication::focusWidget(), m_text1);
    QCOMPARE(m_text1->toPlainText().back(), QChar(u'１'));
    QCOMPARE(m_characters.mic.spoken, std::vector<std::u16string>{u"１"});
    expectFace(65, FaceColour::Orange);
    expectFace(52, FaceColour::Green);

    QVERIFY(Click(*key(68)));
    QTRY_COMPARE(QApplication::focusWidget(), key(68));
    expectFace(68, FaceColour::Focused);
    // Read-aloud keeps the focus and shows none.
    QVERIFY(Click(*key(70)));
    QTRY_COMPARE(QApplication::focusWidget(), key(70));
    expectFace(70, FaceColour::Blue);
    expectFace(68, FaceColour::Pink);
}

void WindowInputTest::menuAndDeactivationChangeNoColour()
{
    QVERIFY(Click(*key(6)));
    QTRY_COMPARE(QApplication::focusWidget(), key(6));
    expectFace(6, FaceColour::Focused);

    QMenuBar *menuBar = m_window->menuBar();
    QAction *fileMenu = menuBar->actions().constFirst();
    ClickAt(menuBar->mapToGlobal(menuBar->actionGeometry(fileMenu).center()));
    QTRY_VERIFY(QApplication::activePopupWidget());
    expectFace(6, FaceColour::Focused);
    PressKey(XK_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    expectFace(6, FaceColour::Focused);
    // The menu bar gives the focus back to the key it took it from.
    PressKey(XK_Escape);
    QTRY_COMPARE(QApplication::focusWidget(), key(6));
    expectFace(6, FaceColour::Focused);

    auto other = std::make_unique<QWidget>();
    other->setGeometry(0, 0, 100, 100);
    other->show();
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other.get()));
    expectFace(6, FaceColour::Focused);
    other.reset();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_COMPARE(QApplication::focusWidget(), key(6));
    expectFace(6, FaceColour::Focused);
}

void WindowInputTest::spaceAndEnterClick_data()
{
    QTest::addColumn<unsigned long>("keysym");
    QTest::newRow("Space") << static_cast<unsigned long>(XK_space);
    QTest::newRow("Enter") << static_cast<unsigned long>(XK_Return);
    QTest::newRow("keypad Enter") << static_cast<unsigned long>(XK_KP_Enter);
}

void WindowInputTest::spaceAndEnterClick()
{
    QFETCH(unsigned long, keysym);
    m_state.PendingKana.clear();
    PressKey(XK_Tab);
    PressKey(XK_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), key(2));
    PressKey(keysym);
    QTRY_COMPARE(m_state.PendingKana, std::u16string(u"い"));
}

void WindowInputTest::shortcutsChooseTheTarget()
{
    const QString textBefore = m_text1->toPlainText();
    PressKey(XK_r, Control);
    QTRY_COMPARE(m_state.TargetTitle, std::u16string(u"メールを\u3000書く"));
    PressKey(XK_r, Control);
    QTRY_COMPARE(m_state.TargetTitle, std::u16string(u"メールを\u3000書く"));

    QVERIFY(Click(*key(10)));
    QTRY_COMPARE(QApplication::focusWidget(), key(10));
    PressKey(XK_w, Control);
    QTRY_COMPARE(m_state.TargetTitle, std::u16string(u"Microsoft Word"));
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(m_text1->toPlainText(), textBefore);
}

QTEST_MAIN(WindowInputTest)
#include "window_input_gui_test.moc"
