// The real desktop as the program builds it: Qt's event loop and message box, and the keyboard's
// own windows never a target.
// gtest and Qt before Xlib, whose macros (None, Bool, Status …) would clash with them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "hiramod.h"
#include "qtdesktop.h"
#include "transfertext.h"
#include "waiting.h"

using namespace hiragana;
using namespace std::chrono_literals;

namespace {

const std::u16string Word = u"Microsoft Word";

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
};

// Closes the next modal message box as soon as it shows, noting what it looked like.
void closeNextBox(SeenBox &seen)
{
    QTimer::singleShot(10ms, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            closeNextBox(seen);
            return;
        }
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->isModal()};
        box->button(QMessageBox::Ok)->click();
    });
}

TEST(QtDesktop, TheBoxIsModalCriticalWithOkAlone)
{
    QWidget keyboard;
    auto desktop = CreateDesktop(&keyboard);
    SeenBox seen;
    closeNextBox(seen);

    desktop->ShowMessageBox(std::u16string(NoTargetPrompt), NoTargetBoxButtons, std::u16string(NoTargetBoxTitle));

    EXPECT_EQ(seen.title, QStringLiteral("入力エラー"));
    EXPECT_EQ(seen.text, QStringLiteral("転送先がありません\n\u3000※まずは新規のものを選択してみてください"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_TRUE(seen.modal);
}

TEST(QtDesktop, RunsThePendingEvents)
{
    auto desktop = CreateDesktop(nullptr);
    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);

    desktop->ProcessPendingEvents();

    EXPECT_TRUE(ran);
}

TEST(QtDesktop, TheKeyboardIsNeverATargetEvenWithTheTitle)
{
    QWidget keyboard;
    keyboard.setWindowTitle(QString::fromStdU16String(Word));
    keyboard.show();
    ASSERT_TRUE(x11::WaitUntil([&] {
        QCoreApplication::processEvents();
        return keyboard.windowHandle() && keyboard.windowHandle()->isExposed();
    }, 10s));
    auto desktop = CreateDesktop(&keyboard);
    Hiramod state;
    state.TargetTitle = Word;
    state.CommittedText = u"あ\r\n";
    SeenBox seen;
    closeNextBox(seen);

    TransferText(state, *desktop);

    EXPECT_EQ(seen.title, QStringLiteral("入力エラー"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
