// The real program when things around it fail: the target window closing in the middle of a
// transfer, the X server going away, no sound server, the sound server dying in the middle of
// an utterance and coming back, espeak-ng's data missing. In none of them may the program hang
// or lose the composed text.
#include <gtest/gtest.h>

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QApplication>
#include <QClipboard>

#include "keyboardmodel.h"
#include "privatedisplay.h"
#include "programdriver.h"
#include "randomtext.h"
#include "soundserver.h"
#include "targetapps.h"
#include "waiting.h"

#include <X11/keysym.h>

#include <filesystem>
#include <random>

using namespace hiragana;
using namespace std::chrono_literals;

namespace {
constexpr int NewLineKey = 64, BackSpaceKey = 63, TransferKey = 67, ReadAloudKey = 70;
// が (か and the voiced mark), っ, こ, う, each confirmed.
const std::vector<int> Gakkou{6, 47, 65, 66, 65, 10, 65, 3, 65};

const std::string Word = "Microsoft Word";

class Faults : public ::testing::Test {
protected:
    const std::filesystem::path &dir() const { return m_directory.path(); }
    std::string path(const char *name) const { return (dir() / name).string(); }

    bool startProgram(QStringList environment, std::string display = {})
    {
        if (!environment.join(u' ').contains(QStringLiteral("PULSE_SERVER=")))
            environment << QStringLiteral("PULSE_SERVER=unix:") + QString::fromStdString(path("no-sound-server"));
        program = std::make_unique<driver::ProgramDriver>(driver::ProgramDriver::Options{environment, display});
        return program->Start();
    }

    void click(const std::vector<int> &keys)
    {
        for (const int number : keys) {
            program->ClickKey(number);
            model.Click(KeyTable[std::size_t(number - 1)]);
        }
        ASSERT_TRUE(program->Ping());
    }

    // A long text into the engine's copy: pasted into the box after a new line, then taken over
    // by a back-space.
    void composeLong(std::size_t length)
    {
        click({NewLineKey});
        std::mt19937 random(length);
        const std::u16string text = soak::RandomPasteText(random, length);
        QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
        program->input().Tap(XK_v, driver::XInput::Control);
        model.TypeIntoBox(text);
        ASSERT_TRUE(program->Ping());
        click({BackSpaceKey});
    }

    // The whole composed text still arrives in a Qt editor titled "Microsoft Word"; the
    // keyboard is active again afterwards.
    void expectTextDelivered()
    {
        {
            auto editor = hiragana::testing::StartEditor(Word, dir());
            ASSERT_TRUE(editor->WaitUntilReady(program->connection()));
            ASSERT_TRUE(program->ActivateKeyboard());
            program->ClickKey(TransferKey);
            const std::string expected = soak::AsReceived(model.Committed(), "\n");
            EXPECT_EQ(editor->WaitToReceive(expected), expected);
            EXPECT_TRUE(program->Ping());
        }
        EXPECT_TRUE(program->ActivateKeyboard());
    }

    int wavFiles() const
    {
        int count = 0;
        for (const auto &entry : std::filesystem::directory_iterator(dir() / "wav"))
            count += entry.path().extension() == ".wav" ? 1 : 0;
        return count;
    }

    QStringList speechToFiles()
    {
        std::filesystem::create_directory(dir() / "wav");
        return {QStringLiteral("HIRAGANA_SPEECH_WAV_DIR=") + QString::fromStdString(path("wav"))};
    }

    bool characterSpeaks()
    {
        // The figure and its balloon.
        return x11::WaitUntil([&] { return program->windows().UnmanagedShown() >= 2; }, 20s, 20ms);
    }

    void loseDisplay(bool whileSpeaking);

    hiragana::testing::TemporaryDirectory m_directory;
    std::unique_ptr<driver::ProgramDriver> program;
    hiragana::testing::KeyboardModel model;
};
} // namespace

TEST_F(Faults, TargetWindowClosesInTheMiddleOfATransfer)
{
    auto word = hiragana::testing::StartTerminal(Word, dir());
    ASSERT_TRUE(startProgram({}));
    ASSERT_TRUE(word->WaitUntilReady(program->connection()));
    const std::string keymapBefore = hiragana::testing::KeymapDump();
    composeLong(6000);

    program->ClickKey(TransferKey);
    ASSERT_TRUE(x11::WaitUntil([&] { return word->Received().size() > 200; }, 30s, 5ms));
    word.reset(); // closes the target's window while the keys are still going to it

    EXPECT_TRUE(program->DismissNoTargetBox(XK_Return));
    EXPECT_EQ(hiragana::testing::KeymapDump(), keymapBefore);
    expectTextDelivered();
    EXPECT_TRUE(program->Quit());
}

// Whatever the program is doing, it ends at once when its display goes: no hang, no crash.
void Faults::loseDisplay(bool whileSpeaking)
{
    faults::PrivateDisplay display(dir());
    ASSERT_FALSE(display.name().empty());
    ASSERT_TRUE(startProgram(speechToFiles(), display.name()));
    if (whileSpeaking) {
        click(Gakkou);
        program->ClickKey(ReadAloudKey);
        ASSERT_TRUE(characterSpeaks());
    }
    display.KillServer();
    ASSERT_TRUE(program->process().WaitForExit(15s)) << "the program hangs without its display";
    EXPECT_FALSE(program->process().Crashed());
}

TEST_F(Faults, XServerGoesAwayWhileIdle)
{
    loseDisplay(false);
}

TEST_F(Faults, XServerGoesAwayWhileSpeaking)
{
    loseDisplay(true);
}

TEST_F(Faults, NoSoundServer)
{
    ASSERT_TRUE(startProgram(speechToFiles()));
    click(Gakkou);
    EXPECT_TRUE(characterSpeaks());
    // The voice still runs, for the WAV files, with nowhere to play.
    EXPECT_TRUE(x11::WaitUntil([&] { return wavFiles() >= 1; }, 20s, 20ms));
    click({6, 65});
    expectTextDelivered();
    EXPECT_TRUE(program->Quit());
}

TEST_F(Faults, SoundServerDiesInTheMiddleOfAnUtteranceAndComesBack)
{
    std::filesystem::create_directory(dir() / "pulse");
    faults::SoundServer server(dir() / "pulse");
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(startProgram({QStringLiteral("PULSE_SERVER=") + QString::fromStdString(server.address())}));
    composeLong(40);
    program->ClickKey(ReadAloudKey);
    ASSERT_TRUE(x11::WaitUntil([&] { return server.PlayingStreams() >= 1; }, 30s, 20ms));
    server.Kill();

    // The keyboard goes on while the character finishes in silence.
    click(Gakkou);
    EXPECT_TRUE(program->Ping());

    ASSERT_TRUE(server.Start());
    program->ClickKey(ReadAloudKey);
    EXPECT_TRUE(x11::WaitUntil([&] { return server.PlayingStreams() >= 1; }, 90s, 20ms))
        << "speech did not come back with the sound server";
    expectTextDelivered();
    EXPECT_TRUE(program->Quit());
}

TEST_F(Faults, EspeakDataMissing)
{
    // An existing folder without the data: espeak-ng falls back to its installed data when the
    // folder named does not exist at all.
    std::filesystem::create_directory(dir() / "empty");
    QStringList environment = speechToFiles();
    environment << QStringLiteral("ESPEAK_DATA_PATH=") + QString::fromStdString(path("empty"));
    // Nor any open_jtalk on the PATH: no voice at all.
    environment << QStringLiteral("PATH=") + QString::fromStdString(path("empty"));
    ASSERT_TRUE(startProgram(environment));
    click(Gakkou);
    EXPECT_TRUE(characterSpeaks()) << "the balloon must show even without a voice";
    EXPECT_TRUE(x11::WaitUntil([&] { return program->windows().UnmanagedShown() == 0; }, 60s, 20ms));
    EXPECT_EQ(wavFiles(), 0);
    expectTextDelivered();
    EXPECT_TRUE(program->Quit());
}

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
