// The real program as a user starts it, driven from outside: it shows one window titled
// "Hiragana", centred for its size as created and then 9000 twips high, with the focus in the
// text box; clicked keys compose a text, "てんそう" types it into an xterm titled "Microsoft
// Word", and Ctrl+Q ends it. Without its character data it shows only its failure box. The
// screenshot of the keyboard is kept in the build tree.
#include <gtest/gtest.h>

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "characterdata.h"
#include "fakecharacter.h"
#include "hiragana.h"
#include "programdriver.h"
#include "startupgeometry.h"
#include "targetapps.h"
#include "activation.h"

#include <X11/keysym.h>

using namespace hiragana;
using namespace std::chrono_literals;

namespace {
// No sound server: nothing reaches the speakers of whoever runs the tests.
const QString NoSoundServer = QStringLiteral("PULSE_SERVER=unix:/nonexistent/app-no-sound");
constexpr unsigned long FaceYellow = 0xFFFF80;

// Whether the program's text box holds text, copied out through the clipboard as a user would.
bool textBoxHolds(driver::ProgramDriver &program, const QString &text)
{
    return QTest::qWaitFor([&] {
        program.input().Tap(XK_a, driver::XInput::Control);
        program.input().Tap(XK_c, driver::XInput::Control);
        QTest::qWait(100);
        return QGuiApplication::clipboard()->text() == text;
    }, 10000);
}

void clickKeys(driver::ProgramDriver &program, std::initializer_list<int> numbers)
{
    for (const int number : numbers)
        ASSERT_TRUE(program.ClickKey(number)) << "key " << number;
    ASSERT_TRUE(program.Ping());
}
} // namespace

TEST(App, StartsCentredComposesByClicksAndTransfersTheText)
{
    hiragana::testing::TemporaryDirectory directory;
    driver::ProgramDriver program({{NoSoundServer}, {}});
    auto word = hiragana::testing::StartTerminal("Microsoft Word", directory.path());
    ASSERT_TRUE(word->WaitUntilReady(program.connection()));
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(program.CameUpActive());
    EXPECT_EQ(program.windows().Titled(driver::KeyboardTitle).size(), 1u);

    // The window as this library builds it tells the size the program's window has as created.
    Hiramod state;
    hiragana::testing::RecordingCharacters characters;
    const QSize designSize = Hiragana(state, characters).designSize();
    const QMargins frame = program.windows().FrameExtents(program.keyboard());
    const StartUpGeometry expected =
        ComputeStartUpGeometry(QGuiApplication::primaryScreen()->geometry(), designSize, frame);
    const QRect client = program.windows().ClientRect(program.keyboard());
    EXPECT_EQ(client, expected.client);
    EXPECT_EQ(client.marginsAdded(frame), expected.frame);
    EXPECT_EQ(client.marginsAdded(frame).height() * 15, 9000);

    // The focus is in the text box: what is typed lands there.
    QGuiApplication::clipboard()->clear();
    program.input().Tap(XK_x);
    EXPECT_TRUE(textBoxHolds(program, QStringLiteral("x")));

    // が (か and the voiced mark), っ, こ, う, each confirmed. The confirm overwrites the x,
    // which the keyboard never took over.
    clickKeys(program, {6, 47, 65, 66, 65, 10, 65, 3, 65});
    EXPECT_TRUE(textBoxHolds(program, QStringLiteral("がっこう")));

    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, expected.frame.x(), expected.frame.y(), expected.frame.width(),
                                         expected.frame.height())
                            .toImage();
    EXPECT_TRUE(shot.save(QStringLiteral(HIRAGANA_SCREENSHOT)));
    std::printf("Screenshot of the keyboard: %s\n", HIRAGANA_SCREENSHOT);
    EXPECT_EQ(program.KeyFaceColour(1), FaceYellow);

    // A new line, へ, then "てんそう": the terminal reads each line break as a CR.
    clickKeys(program, {64, 29, 65, 67});
    EXPECT_EQ(word->WaitToReceive("がっこう\rへ"), "がっこう\rへ");
    EXPECT_TRUE(x11::FocusIsIn(program.connection(), word->window())) << "the target stays in front";

    ASSERT_TRUE(program.ActivateKeyboard());
    EXPECT_TRUE(program.Quit());
}

// Without its speech character's data the program cannot start: it reports the failure in a
// message box (its wording is checked in the window's own tests), never shows its keyboard,
// and ends with a failure status once the user closes the box.
TEST(App, AStartUpFailureIsReportedBeforeTheWindowShows)
{
    hiragana::testing::TemporaryDirectory noCharacters;
    auto connection = x11::Connection::Open(nullptr);
    ASSERT_TRUE(connection);
    driver::ProgramProcess process({NoSoundServer, QString::fromLatin1(CharacterDirVariable) + u'='
                                                       + QString::fromStdString(noCharacters.path().string())});
    driver::ProgramWindows windows(*connection, process.pid(), driver::ProcessDriverEvents);

    const auto report = windows.WaitForTitled(driver::KeyboardTitle, 20s);
    ASSERT_TRUE(report);
    ASSERT_TRUE(windows.WaitUntilActive(*report, 10s));
    EXPECT_TRUE(windows.IsDialog(*report));
    EXPECT_EQ(windows.Titled(driver::KeyboardTitle).size(), 1u);

    driver::XInput(connection->display()).Tap(XK_Return);
    ASSERT_TRUE(process.WaitForExit(10s));
    EXPECT_FALSE(process.Crashed());
    EXPECT_EQ(process.ExitCode(), 1);
}

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
