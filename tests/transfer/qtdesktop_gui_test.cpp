// The desktop as the program builds it: Qt's event loop and message box around the X11 transfer,
// and the keyboard's own window never a target, even with the title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "hiramod.h"
#include "qtdesktop.h"
#include "transfertext.h"

TEST(QtDesktop, RunsThePendingEventsAndShowsTheBoxOverTheKeyboard)
{
    QWidget keyboard;
    keyboard.setWindowTitle(QStringView(hiragana::MicrosoftWordTitle).toString());
    keyboard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&keyboard));
    const auto desktop = hiragana::CreateDesktop(&keyboard);
    bool queuedRanFirst = false; // before the box, in the transfer's own run of the pending events
    QMetaObject::invokeMethod(qApp, [&] { queuedRanFirst = !QApplication::activeModalWidget(); }, Qt::QueuedConnection);
    QStringList seen; // the box, as soon as it shows
    QTimer closeTheBox;
    QObject::connect(&closeTheBox, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = {box->windowTitle(), box->text(), QString::number(box->icon()),
                    QString::number(box->standardButtons()), QString::number(box->parentWidget() == &keyboard)};
            box->button(QMessageBox::Ok)->click();
        }
    });
    closeTheBox.start(10);
    hiragana::Hiramod state;
    state.TargetTitle = hiragana::MicrosoftWordTitle;

    hiragana::TransferText(state, *desktop);

    EXPECT_TRUE(queuedRanFirst);
    EXPECT_EQ(seen.join(u'|').toStdString(), QStringList({QStringLiteral("入力エラー"),
                                            QStringLiteral("転送先がありません\n\u3000※まずは新規のものを選択してみてください"),
                                            QString::number(QMessageBox::Critical), QString::number(QMessageBox::Ok),
                                            QStringLiteral("1")}).join(u'|').toStdString());
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
