// The real program under a long run of random user actions through the X server: clicks on the
// keys, Tab, Shift+Tab, Space, Enter, the menu shortcuts, typing and pasting into the text box
// (a 200,000-character paste among them), read-aloud, transfers to a live window and to none.
// Every transfer must deliver exactly what a model of the keys predicts; afterwards the program
// still answers, its memory has levelled off, a last transfer into a Qt editor is exact, and
// Ctrl+Q ends it. Usage: soak_gui_test [actions [seed [big-paste-length [editor|xterm]]]]
#include <gtest/gtest.h>

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QApplication>

#include "programdriver.h"
#include "randomtext.h"
#include "soakrun.h"
#include "targetapps.h"

#include <X11/keysym.h>

#include <cstdlib>

using namespace hiragana;
using namespace std::chrono_literals;

namespace {
soak::SoakRun::Settings g_settings;
bool g_intoTerminal = false;

constexpr int TransferKey = 67;
// Memory may still grow a little once the run has warmed up (the speech character's queue of
// requests grows with every confirm), but not by this much.
constexpr long MostGrowthKiB = 32 * 1024;
} // namespace

TEST(Soak, RandomActionsThroughTheRealProgram)
{
    hiragana::testing::TemporaryDirectory directory;
    // No sound server: nothing reaches the speakers of whoever runs the tests.
    driver::ProgramDriver program({{QStringLiteral("PULSE_SERVER=unix:/nonexistent/soak-no-sound")}, {}});
    ASSERT_TRUE(program.input().BindCharacters(soak::BoundCharacters));

    // The Qt editor answers pings, so a transfer knows when it has read each batch of keys; an
    // xterm does not, and a transfer into one relies on a settle time that a loaded machine
    // can outrun.
    auto word = g_intoTerminal ? hiragana::testing::StartTerminal("Microsoft Word", directory.path())
                               : hiragana::testing::StartEditor("Microsoft Word", directory.path());
    ASSERT_TRUE(word->WaitUntilReady(program.connection()));
    ASSERT_TRUE(program.Start());

    soak::SoakRun run(program, *word, g_intoTerminal ? "\r" : "\n", g_settings);
    const bool completed = run.Run();
    ASSERT_TRUE(completed) << run.failure();
    std::printf("%d transfers delivered exactly, %d boxes dismissed\n", run.transfersDelivered(),
                run.boxesDismissed());

    const auto &memory = run.memorySamples();
    ASSERT_GE(memory.size(), 4u);
    const long warmedUp = memory[memory.size() / 4];
    EXPECT_LE(memory.back() - warmedUp, MostGrowthKiB)
        << "resident memory went from " << warmedUp << " KiB to " << memory.back() << " KiB";

    // The last transfer goes into a Qt editor, the mail writer's title chosen by Ctrl+R.
    auto mail = hiragana::testing::StartEditor("メールを\u3000書く", directory.path());
    ASSERT_TRUE(mail->WaitUntilReady(program.connection()));
    ASSERT_TRUE(program.ActivateKeyboard());
    program.input().Tap(XK_r, driver::XInput::Control);
    program.ClickKey(TransferKey);
    const std::string expected = soak::AsReceived(run.model().Committed(), "\n");
    EXPECT_EQ(mail->WaitToReceive(expected), expected);

    ASSERT_TRUE(program.Ping());
    ASSERT_TRUE(program.ActivateKeyboard());
    EXPECT_TRUE(program.Quit());
}

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    if (argc > 1)
        g_settings.actions = std::atoi(argv[1]);
    if (argc > 2)
        g_settings.seed = unsigned(std::strtoul(argv[2], nullptr, 10));
    if (argc > 3)
        g_settings.bigPasteLength = std::size_t(std::atol(argv[3]));
    if (argc > 4)
        g_intoTerminal = std::string(argv[4]) == "xterm";
    return RUN_ALL_TESTS();
}
