// The keyboard window as built: every key against its row of the key table, the text box, the
// menus, the start-up sequence, and a failure that no handler catches.
#include "failurereport.h"
#include "fakecharacter.h"
#include "hiragana.h"
#include "keybutton.h"
#include "keyfonts.h"
#include "startupgeometry.h"

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

using namespace hiragana;
using hiragana::testing::RecordingCharacters;

namespace {
QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

QString spokenName(const QWidget &widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(&widget));
    return accessible ? accessible->text(QAccessible::Name) : QString();
}
} // namespace

class WindowKeysTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void everyKeyMatchesItsTableRow();
    void keysHaveSpokenNames();
    void textBoxIsBuiltAsGiven();
    void windowAndMenusAreBuiltAsGiven();
    void startUpSequenceRunsInOrder();
    void resizingMovesNoControl();
    void aFailedStartUpThrowsBeforeShowing();
    // Ends the event loops for good, so it runs last.
    void aFailureInAHandlerIsReportedAndEndsTheProgram();

private:
    KeyButton *key(int number) const
    {
        return m_window->findChild<KeyButton *>(QStringLiteral("Command%1").arg(number));
    }

    Hiramod m_state;
    std::unique_ptr<RecordingCharacters> m_characters;
    std::unique_ptr<Hiragana> m_window;
};

void WindowKeysTest::init()
{
    m_state = Hiramod{};
    m_characters = std::make_unique<RecordingCharacters>();
    m_window = std::make_unique<Hiragana>(m_state, *m_characters);
}

void WindowKeysTest::cleanup()
{
    m_window.reset();
    m_characters.reset();
}

void WindowKeysTest::everyKeyMatchesItsTableRow()
{
    QCOMPARE(m_window->findChildren<KeyButton *>().size(), 70);
    for (const KeyRecord &row : KeyTable) {
        const KeyButton *button = key(row.tabIndex);
        QVERIFY2(button, row.name.data());
        const QRect twips(row.left, row.top, row.width, row.height);
        QCOMPARE(button->geometry(), QRect(twips.topLeft() / 15, twips.size() / 15));
        QCOMPARE(button->text(), toQString(row.caption));
        QCOMPARE(button->palette().color(QPalette::Button), ColourFromWindowsValue(row.faceColour));
        QCOMPARE(button->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(button->font().pointSizeF(), row.fontPoints);
        QCOMPARE(button->font().weight(), QFont::Bold);
        QVERIFY(!button->font().italic() && !button->font().underline() && !button->font().strikeOut());
        QCOMPARE(QFontInfo(button->font()).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
        QVERIFY(button->isEnabled());
        QVERIFY(!button->autoDefault() && !button->isDefault());
        QVERIFY(button->icon().isNull() && button->toolTip().isEmpty());
        QCOMPARE(button->style()->name(), QStringLiteral("windows"));
    }
}

void WindowKeysTest::keysHaveSpokenNames()
{
    for (const KeyRecord &row : KeyTable)
        QVERIFY2(!spokenName(*key(row.tabIndex)).trimmed().isEmpty(), row.name.data());
    QCOMPARE(spokenName(*key(1)), QStringLiteral("あ"));
    QCOMPARE(spokenName(*key(65)), QStringLiteral("かくてい"));
    QCOMPARE(spokenName(*key(47)), QStringLiteral("だくてん"));
    QCOMPARE(spokenName(*key(48)), QStringLiteral("はんだくてん"));
    QCOMPARE(spokenName(*key(62)), QStringLiteral("くうはく"));
    QVERIFY(!spokenName(*m_window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))).isEmpty());
}

void WindowKeysTest::textBoxIsBuiltAsGiven()
{
    auto *text1 = m_window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    QVERIFY(text1);
    QCOMPARE(text1->geometry(), QRect(1080 / 15, 120 / 15, 8655 / 15, 2055 / 15));
    QCOMPARE(text1->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(text1->font().pointSizeF(), 20.25);
    QCOMPARE(text1->font().weight(), QFont::Normal);
    QCOMPARE(QFontInfo(text1->font()).family(), QStringLiteral("IPAPGothic"));
    QVERIFY(text1->tabChangesFocus());
    QCOMPARE(text1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(text1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(!text1->isReadOnly());
    QVERIFY(text1->toPlainText().isEmpty());
}

void WindowKeysTest::windowAndMenusAreBuiltAsGiven()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Hiragana"));
    QCOMPARE(m_window->centralWidget()->palette().color(QPalette::Window), QColor(224, 224, 224));
    QVERIFY(m_window->centralWidget()->autoFillBackground());

    const QList<QAction *> menus = m_window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->text(), QStringLiteral("ファイル"));
    QCOMPARE(menus[1]->text(), QStringLiteral("転送先"));
    struct Item {
        const char *name;
        QString caption;
        QKeySequence shortcut;
        QAction *menu;
    };
    const Item items[] = {
        {"ItemEnd", QStringLiteral("終了(&Q)"), QKeySequence(QStringLiteral("Ctrl+Q")), menus[0]},
        {"ItemWord", QStringLiteral("Microsoft Word(&W)"), QKeySequence(QStringLiteral("Ctrl+W")), menus[1]},
        {"ItemFumi", QStringLiteral("ふみばこメール(&R)"), QKeySequence(QStringLiteral("Ctrl+R")), menus[1]},
    };
    for (const Item &item : items) {
        auto *action = m_window->findChild<QAction *>(QString::fromLatin1(item.name));
        QVERIFY2(action, item.name);
        QCOMPARE(action->text(), item.caption);
        QCOMPARE(action->shortcut(), item.shortcut);
        QVERIFY(!action->isCheckable() && action->isEnabled() && action->isVisible());
        QVERIFY(item.menu->menu()->actions().contains(action));
    }

    m_window->findChild<QAction *>(QStringLiteral("ItemFumi"))->trigger();
    QCOMPARE(m_state.TargetTitle, std::u16string(u"メールを\u3000書く"));
    m_window->findChild<QAction *>(QStringLiteral("ItemWord"))->trigger();
    QCOMPARE(m_state.TargetTitle, std::u16string(u"Microsoft Word"));
}

void WindowKeysTest::startUpSequenceRunsInOrder()
{
    m_state.ReplaceLast = 1;
    m_state.VoicedPending = 1;
    m_state.PendingKana = u"か";
    m_state.CommittedText = u"あ";
    m_window->Load();

    QCOMPARE(m_state.ReplaceLast, 0);
    QCOMPARE(m_state.VoicedPending, 0);
    QCOMPARE(m_state.TargetTitle, std::u16string(u"Microsoft Word"));
    QCOMPARE(m_state.PendingKana, std::u16string(u"か"));
    QCOMPARE(m_state.CommittedText, std::u16string(u"あ"));
    QVERIFY(!m_window->isVisible());

    // The character stands 5 pixels right of the window's outer left edge, 56 below its top.
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_VERIFY(!m_window->windowHandle()->frameMargins().isNull());
    const QPoint frame = m_window->frameGeometry().topLeft();
    QCOMPARE(m_characters->log.size(), 3u);
    QVERIFY(m_characters->log[0].starts_with("Load mic "));
    m_characters->log.erase(m_characters->log.begin());
    QCOMPARE(m_characters->log, (std::vector<std::string>{"Item",
                                                          "MoveTo " + std::to_string(frame.x() + 5) + " "
                                                              + std::to_string(frame.y() + 56)}));
}

void WindowKeysTest::resizingMovesNoControl()
{
    m_window->Load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QRect before = key(61)->geometry();
    m_window->showMaximized();
    QTRY_VERIFY(m_window->width() > 900);
    QCOMPARE(key(61)->geometry(), before);
    m_window->resize(300, 200);
    QTRY_COMPARE(m_window->width(), 300);
    QCOMPARE(key(61)->geometry(), before);
}

void WindowKeysTest::aFailedStartUpThrowsBeforeShowing()
{
    m_characters->loadFails = true;
    try {
        m_window->Load();
        QFAIL("Load went through");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), int(Failure::FileNotFound));
        QVERIFY(FailureMessage(failure).contains(QStringLiteral("53")));
        QVERIFY(FailureMessage(failure).contains(QStringLiteral("File not found")));
    }
    QVERIFY(!m_window->isVisible());
}

void WindowKeysTest::aFailureInAHandlerIsReportedAndEndsTheProgram()
{
    // The speech character fails as a broken speech component would.
    RecordingCharacters broken;
    broken.mic.showFails = true;
    Hiramod state;
    Hiragana window(state, broken);
    window.Load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QString reported;
    QTimer closeReport;
    connect(&closeReport, &QTimer::timeout, [&reported] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            reported = box->text();
            box->icon() == QMessageBox::Critical ? box->accept() : box->reject();
        }
    });
    closeReport.start(20);

    window.findChild<KeyButton *>(QStringLiteral("Command1"))->click();
    QTimer::singleShot(0, window.findChild<KeyButton *>(QStringLiteral("Command65")), &QPushButton::click);
    QEventLoop program;
    const int status = program.exec();

    QCOMPARE(status, EXIT_FAILURE);
    QVERIFY(reported.contains(QStringLiteral("68")));
    QVERIFY(reported.contains(QStringLiteral("Device unavailable")));
    // The confirm got as far as writing the text box, no further.
    QCOMPARE(state.PendingKana, std::u16string(u"あ"));
}

QTEST_MAIN(WindowKeysTest)
#include "window_keys_gui_test.moc"
