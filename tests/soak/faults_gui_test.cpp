// The real program when what it depends on fails. It may not hang, crash or lose the composed
// text. Each test runs on an X server of its own (scripts/with-xvfb, which names its PID).
#include "programtest.h"

#include <cstdlib>
#include <signal.h>

namespace hiragana {
namespace {
const std::initializer_list<int> Gakkou{6, 47, 65, 66, 65, 10, 65, 3, 65}; // が っ こ う, each confirmed

using Faults = Program;

// Kana of more kinds than a transfer into an xterm has spare keys for: it types them in batches.
QString kana(int length)
{
    return QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよ").repeated(40).left(length);
}
} // namespace

TEST_F(Faults, TargetWindowClosesInTheMiddleOfATransfer)
{
    word = testing::StartTerminal(ToUtf8(MicrosoftWordTitle), m_directory.path());
    ASSERT_TRUE(StartAfter(*word));
    Paste(kana(1500));
    ASSERT_TRUE(Click({63})) << failure;
    const std::string keymapBefore = testing::KeymapDump();
    program.ClickKey(67);
    ASSERT_TRUE(program.WaitUntil([&] { return word->Received().size() > 200; }, 30s));
    word.reset(); // closes the target's window while the keys are still going to it
    EXPECT_TRUE(DismissNoTargetBox()) << failure;
    EXPECT_EQ(testing::KeymapDump(), keymapBefore);
    ExpectTextDeliveredAndQuit();
}

TEST_F(Faults, XServerGoesAwayWhileSpeaking)
{
    ASSERT_TRUE(program.Start() && Click(Gakkou) && Click({70}) && CharacterSpeaks()) << failure;
    kill(pid_t(qEnvironmentVariableIntValue("HIRAGANA_TEST_XVFB_PID")), SIGTERM);
    EXPECT_TRUE(program.ExitCode(15s)) << "the program hangs or crashes without its display";
}

TEST_F(Faults, SoundServerDiesInTheMiddleOfAnUtteranceAndComesBack)
{
    // A PulseAudio daemon of the test's own, playing into a null sink at a socket of its own.
    const std::string home = dir("pulse"), server = "unix:" + home + "/native";
    const std::vector<std::string> daemon{// env runs it in its own place, under the same PID
        "env", "HOME=" + home, "XDG_RUNTIME_DIR=" + home, "XDG_CONFIG_HOME=" + home, "PULSE_STATE_PATH=" + home,
        "PULSE_RUNTIME_PATH=" + home, "pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
        "--disable-shm=yes", "--log-level=error", "-L", "module-null-sink", "-L",
        "module-native-protocol-unix socket=" + home + "/native auth-anonymous=1"};
    auto pulseaudio = std::make_unique<testing::ChildProcess>(daemon, std::vector<std::string>{});
    const auto playing = [&] {
        const std::string pactl = "pactl -s " + server + " list short sink-inputs 2>/dev/null | grep -q .";
        return program.WaitUntil([&] { return std::system(pactl.c_str()) == 0; }, 60s);
    };
    ASSERT_TRUE(program.Start({QString::fromStdString("PULSE_SERVER=" + server)}));
    Paste(kana(40));
    ASSERT_TRUE(Click({63, 70})) << failure;
    ASSERT_TRUE(playing()) << "nothing plays";
    kill(pulseaudio->pid(), SIGKILL); // as a crash would
    const auto said = [&] { return std::distance(std::filesystem::directory_iterator(dir("wav")), {}); };
    const auto before = said();
    EXPECT_TRUE(Click(Gakkou)) << failure; // the keys work, and the character speaks in silence
    EXPECT_TRUE(program.WaitUntil([&] { return said() == before + 4; }, 60s));
    std::filesystem::remove(home + "/native");
    pulseaudio = std::make_unique<testing::ChildProcess>(daemon, std::vector<std::string>{});
    EXPECT_TRUE(Click({70}) && playing()) << "speech did not come back with the sound server";
    ExpectTextDeliveredAndQuit();
}

// Silent, but the balloon shows for as long as the text would take, and the keys work.
TEST_F(Faults, EspeakDataMissing)
{
    // A folder without the data (espeak-ng would fall back to its own if none were named), and
    // no open_jtalk on the PATH: no voice at all.
    const QString empty = QString::fromStdString(dir("empty"));
    ASSERT_TRUE(program.Start({"ESPEAK_DATA_PATH=" + empty, "PATH=" + empty}) && Click(Gakkou)) << failure;
    EXPECT_TRUE(CharacterSpeaks()) << "the balloon must show even without a voice";
    EXPECT_TRUE(program.WaitUntil([&] { return program.UnmanagedWindows().empty(); }, 60s));
    EXPECT_TRUE(std::filesystem::is_empty(dir("wav")));
    ExpectTextDeliveredAndQuit();
}

// Without its character data the program reports the failure in a box titled as its window,
// shows nothing else, and ends with a failure status once the user closes the box.
TEST_F(Faults, StartUpFailsBeforeTheWindowShows)
{
    program.Launch({QString::fromStdString("HIRAGANA_CHARACTER_DIR=" + dir("empty"))});
    const auto windows = program.Titled(driver::KeyboardTitle, 20s);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(program.WaitUntilActive(windows.front(), 10s) && program.IsDialog(windows.front()));
    program.Tap(XK_Return);
    EXPECT_EQ(program.ExitCode(10s), 1);
}

} // namespace hiragana
