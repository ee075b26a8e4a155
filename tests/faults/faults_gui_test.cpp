// The real program when what it depends on fails: the target window closing in the middle of a
// transfer, the X server going away while the character speaks, the sound server dying in the
// middle of an utterance and coming back, espeak-ng's data missing, its own character data
// missing. It may not hang, crash or lose the composed text. Each test runs on an X server of
// its own (scripts/with-xvfb, which names its PID), and the test program itself keeps off the
// display with Qt, so that it outlives the server.
#include <gtest/gtest.h>

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QCoreApplication>

#include "keyboardmodel.h"
#include "programdriver.h"
#include "targetapps.h"
#include "waiting.h"

#include <X11/keysym.h>

#include <signal.h>

using namespace hiragana;
using namespace std::chrono_literals;
namespace harness = hiragana::testing;

namespace {
constexpr int BackSpaceKey = 63, TransferKey = 67, ReadAloudKey = 70;
// が (か and the voiced mark), っ, こ, う, each confirmed.
const std::vector<int> Gakkou{6, 47, 65, 66, 65, 10, 65, 3, 65};

// A PulseAudio daemon of the test's own, playing into a null sink, reachable only at its own
// socket; stopped by its PID.
class SoundServer {
public:
    explicit SoundServer(std::filesystem::path directory) : m_directory(std::move(directory)) {}

    bool Start()
    {
        std::filesystem::remove(m_directory / "native");
        const std::string home = m_directory.string();
        m_daemon = std::make_unique<harness::ChildProcess>(
            std::vector<std::string>{"env", "HOME=" + home, "XDG_RUNTIME_DIR=" + home, "XDG_CONFIG_HOME=" + home,
                                     "PULSE_STATE_PATH=" + home, "PULSE_RUNTIME_PATH=" + home, "pulseaudio",
                                     "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                                     "--disable-shm=yes", "--log-level=error", "-L", "module-null-sink", "-L",
                                     "module-native-protocol-unix socket=" + home + "/native auth-anonymous=1"},
            std::vector<std::string>{});
        return x11::WaitUntil([this] { return PlayingStreams() >= 0; }, 20s, 50ms);
    }
    void Kill()
    {
        kill(m_daemon->pid(), SIGKILL); // as a crash would
        m_daemon.reset();
    }
    std::string address() const { return "unix:" + (m_directory / "native").string(); }
    // The streams playing now; -1 if the server does not answer.
    int PlayingStreams() const
    {
        const std::string command = "pactl -s " + address() + " list short sink-inputs 2>/dev/null";
        FILE *pactl = popen(command.c_str(), "r");
        int lines = 0;
        for (int c; pactl && (c = std::fgetc(pactl)) != EOF;)
            lines += c == '\n';
        return pactl && pclose(pactl) == 0 ? lines : -1;
    }

private:
    std::filesystem::path m_directory;
    std::unique_ptr<harness::ChildProcess> m_daemon;
};

class Faults : public ::testing::Test {
protected:
    std::filesystem::path dir(const char *name) const
    {
        std::filesystem::create_directories(m_directory.path() / name);
        return m_directory.path() / name;
    }

    bool start(QStringList environment = {})
    {
        environment.prepend(QStringLiteral("HIRAGANA_SPEECH_WAV_DIR=") + QString::fromStdString(dir("wav")));
        environment.prepend(QStringLiteral("PULSE_SERVER=unix:") + QString::fromStdString(dir("none")) + QStringLiteral("/socket"));
        program = std::make_unique<driver::ProgramDriver>(environment);
        return program->Start();
    }

    void click(const std::vector<int> &keys)
    {
        for (const int number : keys) {
            program->ClickKey(number);
            model.Click(number);
        }
        ASSERT_TRUE(program->Ping());
    }

    // Kana typed into the box, where the focus is, and taken over by a back-space: more kinds of
    // them than a transfer into an xterm has spare keys for, so that it types them in many batches.
    void composeLong(std::size_t length)
    {
        const std::u32string kana = U"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよ";
        std::u32string text;
        while (text.size() < length)
            text += kana[text.size() % kana.size()];
        ASSERT_TRUE(program->input().BindCharacters(kana));
        ASSERT_TRUE(program->input().Type(text) && program->Ping());
        program->input().UnbindCharacters(); // the transfer needs the spare keys
        model.TypeIntoBox(QString::fromUcs4(text.data(), qsizetype(text.size())).toStdU16String());
        click({BackSpaceKey});
    }

    // The whole composed text still arrives in a window titled "Microsoft Word", and the
    // program ends as it should.
    void expectTextDeliveredAndQuit()
    {
        auto word = harness::StartEditor("Microsoft Word", m_directory.path());
        ASSERT_TRUE(word->WaitUntilReady(program->connection()));
        ASSERT_TRUE(program->ActivateKeyboard());
        program->ClickKey(TransferKey);
        const std::u16string &text = model.Committed();
        EXPECT_EQ(word->WaitToReceive(QString::fromStdU16String(text).toStdString()),
                  QString::fromStdU16String(text).toStdString());
        EXPECT_TRUE(program->Ping() && program->ActivateKeyboard());
        EXPECT_TRUE(program->Quit());
    }

    std::size_t utterances() { return std::distance(std::filesystem::directory_iterator(dir("wav")), {}); }
    // The character's figure and balloon show.
    bool characterSpeaks() { return program->WaitUntil([&] { return program->UnmanagedWindows().size() >= 2; }, 20s); }

    harness::TemporaryDirectory m_directory;
    std::unique_ptr<driver::ProgramDriver> program;
    harness::KeyboardModel model;
};
} // namespace

TEST_F(Faults, TargetWindowClosesInTheMiddleOfATransfer)
{
    auto word = harness::StartTerminal("Microsoft Word", m_directory.path());
    ASSERT_TRUE(start());
    ASSERT_TRUE(word->WaitUntilReady(program->connection()));
    composeLong(1500);
    const std::string keymapBefore = harness::KeymapDump();

    program->ClickKey(TransferKey);
    ASSERT_TRUE(x11::WaitUntil([&] { return word->Received().size() > 200; }, 30s, 5ms));
    word.reset(); // closes the target's window while the keys are still going to it

    EXPECT_TRUE(program->DismissNoTargetBox(XK_Return));
    EXPECT_EQ(harness::KeymapDump(), keymapBefore);
    expectTextDeliveredAndQuit();
}

// The program ends at once when its display goes, even while it speaks: no hang, no crash.
TEST_F(Faults, XServerGoesAwayWhileSpeaking)
{
    ASSERT_TRUE(start());
    click(Gakkou);
    program->ClickKey(ReadAloudKey);
    ASSERT_TRUE(characterSpeaks());
    kill(pid_t(qEnvironmentVariableIntValue("HIRAGANA_TEST_XVFB_PID")), SIGTERM);
    ASSERT_TRUE(program->WaitForExit(15s)) << "the program hangs without its display";
    EXPECT_FALSE(program->Crashed());
}

TEST_F(Faults, SoundServerDiesInTheMiddleOfAnUtteranceAndComesBack)
{
    SoundServer server(dir("pulse"));
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(start({QStringLiteral("PULSE_SERVER=") + QString::fromStdString(server.address())}));
    composeLong(40);
    program->ClickKey(ReadAloudKey);
    ASSERT_TRUE(x11::WaitUntil([&] { return server.PlayingStreams() >= 1; }, 30s, 20ms));
    server.Kill();

    click(Gakkou); // the keyboard goes on while the character finishes in silence
    ASSERT_TRUE(server.Start());
    program->ClickKey(ReadAloudKey);
    EXPECT_TRUE(x11::WaitUntil([&] { return server.PlayingStreams() >= 1; }, 90s, 20ms))
        << "speech did not come back with the sound server";
    expectTextDeliveredAndQuit();
}

// Silent, but the balloon shows for as long as the text would take, and the keys work.
TEST_F(Faults, EspeakDataMissing)
{
    // An existing folder without the data: espeak-ng falls back to its installed data when the
    // folder named does not exist at all.
    ASSERT_TRUE(start({QStringLiteral("ESPEAK_DATA_PATH=") + QString::fromStdString(dir("empty"))}));
    click(Gakkou);
    EXPECT_TRUE(characterSpeaks()) << "the balloon must show even without a voice";
    EXPECT_TRUE(program->WaitUntil([&] { return program->UnmanagedWindows().empty(); }, 60s));
    EXPECT_EQ(utterances(), 0u);
    expectTextDeliveredAndQuit();
}

// Without its character data the program reports the failure in a box titled as its window,
// shows nothing else, and ends with a failure status once the user closes the box.
TEST_F(Faults, StartUpFailsBeforeTheWindowShows)
{
    program = std::make_unique<driver::ProgramDriver>(
        QStringList{QStringLiteral("HIRAGANA_CHARACTER_DIR=") + QString::fromStdString(dir("empty"))});
    program->Launch();
    const auto box = program->WaitForTitled(driver::KeyboardTitle, 20s);
    ASSERT_TRUE(box && program->WaitUntilActive(*box, 10s));
    EXPECT_TRUE(program->IsDialog(*box));
    EXPECT_EQ(program->Titled(driver::KeyboardTitle).size(), 1u);
    program->input().Tap(XK_Return);
    ASSERT_TRUE(program->WaitForExit(10s));
    EXPECT_FALSE(program->Crashed());
    EXPECT_EQ(program->ExitCode(), 1);
}

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
