// The real program as a user starts and works it (programdriver.h): the end-to-end run against a
// model of the keys, and the faults of what it depends on. Each test runs on an X server of its
// own (scripts/with-xvfb, which names its PID).

// GoogleTest and Qt first: Xlib's macros (Bool, None, Status …) would clash with them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScreen>

#include "keyboardmodel.h"
#include "programdriver.h"
#include "speechoutput.h"
#include "speechworker.h"
#include "targetapps.h"
#include "transfertext.h"
#include "unicode.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <signal.h>

namespace hiragana {
namespace {

using namespace std::chrono_literals;
using driver::ProgramDriver;
using Effect = testing::KeyboardModel::Effect;

enum class Act { Click, Tab, BackTab, Space, Enter, Paste, ChooseWord, ChooseMail, MenuMail, Character };
struct Step { Act act; int key = 0; };

// The real program worked by a user through the X server, each step checked against an
// independent model of the keys: afterwards every key's face on screen is the model's, each
// transfer has arrived exactly, a box that says there is no target has shown and gone. There is
// no sound server (see main): what the character says goes to WAV files.
class Program : public ::testing::Test {
protected:
    Program() { setenv(SpeechWavDirVariable, dir("wav").c_str(), 1); }

    std::string dir(const char *name) const
    {
        std::filesystem::create_directories(m_directory.path() / name);
        return (m_directory.path() / name).string();
    }

    // Starts the program once target's window is up: the window manager gives the focus to the
    // window that maps last, and the keyboard must hold it.
    bool StartAfter(testing::TargetApp &target, const QStringList &environment = {})
    {
        return target.WaitUntilReady(program.connection()) && program.Start(environment);
    }

    // Does the step as a user, and to the model; false (the reason in failure) if they differ.
    bool Do(const Step &step)
    {
        const Effect effect = perform(step);
        return (failure.empty() && settle(effect))
            || fail("act " + std::to_string(int(step.act)) + " " + std::to_string(step.key) + ": " + failure);
    }
    bool Click(std::initializer_list<int> keys)
    {
        return std::ranges::all_of(keys, [this](int key) { return Do({Act::Click, key}); });
    }

    void Paste(const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        ProgramDriver::ServeEvents(); // the program asks for the text at once
        program.Tap(XK_v, XK_Control_L);
        model.TypeIntoBox(text.toStdU16String());
        program.Ping(); // meanwhile the driver hands the text over
    }

    // The box that says there is no target shows; Return or Escape closes it; the keyboard is back.
    bool DismissNoTargetBox()
    {
        const auto box = program.Titled("入力エラー", 30s);
        if (box.empty() || !program.Activate(box.front()))
            return fail("no box says that there is no target");
        program.Tap(random() % 2 ? XK_Return : XK_Escape);
        return program.WaitUntil([this] { return program.Titled("入力エラー").empty(); }, 10s)
            && program.BackToKeyboard();
    }

    // The balloon shows, and the figure 75 twips right of the outer left edge and 840 below the top.
    bool CharacterSpeaks()
    {
        const QRect figure(program.FrameRect().topLeft() + QPoint(5, 56), QSize(64, 128));
        return program.WaitUntil([&] {
            const auto shown = program.UnmanagedWindows();
            return std::ranges::count(shown, figure) == 1 && shown.size() >= 2;
        }, 20s) || fail("the speech character does not show where it belongs");
    }

    // The composed text arrives whole in the mail writer (Ctrl+R); Ctrl+Q ends with status 0.
    void ExpectTextDeliveredAndQuit()
    {
        auto mail = testing::StartEditor(ToUtf8(MailWriterTitle), m_directory.path());
        ASSERT_TRUE(mail->WaitUntilReady(program.connection()) && program.BackToKeyboard());
        program.Tap(XK_r, XK_Control_L);
        program.ClickKey(67);
        const std::string whole = testing::AsReceived(model.Committed(), "\n");
        EXPECT_EQ(mail->WaitToReceive(whole), whole);
        ASSERT_TRUE(program.BackToKeyboard());
        program.Tap(XK_q, XK_Control_L);
        EXPECT_EQ(program.ExitCode(10s), 0);
    }

    bool fail(const std::string &reason)
    {
        failure = reason;
        return false;
    }

    std::mt19937 random{1};
    testing::TemporaryDirectory m_directory;
    ProgramDriver program;
    std::unique_ptr<testing::TargetApp> word; // titled "Microsoft Word"
    testing::KeyboardModel model;
    std::string failure;

private:
    Effect perform(const Step &step)
    {
        switch (step.act) {
        case Act::Click:
            if (!program.ClickKey(step.key))
                fail("the click did not go out");
            return model.Click(step.key);
        case Act::Tab: program.Tap(XK_Tab); model.Tab(); break;
        case Act::BackTab: program.Tap(XK_Tab, XK_Shift_L); model.BackTab(); break;
        case Act::Space: program.Tap(XK_space); return model.Press(u' ');
        case Act::Enter: program.Tap(random() % 2 ? XK_Return : XK_KP_Enter); return model.Press(u'\n');
        case Act::Paste: break; // what to paste is the test's choice
        case Act::ChooseWord: program.Tap(XK_w, XK_Control_L); model.ChooseWord(); break;
        case Act::ChooseMail: program.Tap(XK_r, XK_Control_L); model.ChooseMail(); break;
        case Act::MenuMail: chooseMailByMenu(); break;
        case Act::Character: CharacterSpeaks(); break;
        }
        return Effect::Nothing;
    }

    // ファイル drops down under a click at the menu bar's left end. Escape closes it and leaves
    // the focus in the menu bar, a second Escape gives it back; no face changes meanwhile. Opened
    // again, Right goes on to 転送先, where R is ふみばこメール(&R).
    bool chooseMailByMenu()
    {
        const QPoint menuBar = program.ClientRect().topLeft() + QPoint(20, program.menuBarHeight());
        const auto menuIs = [&](bool open, int leftOf = 0) { // a menu drops down from the bar, its left edge beyond
            const auto dropped = [&](const QRect &menu) { return menu.top() == menuBar.y() && menu.left() > leftOf; };
            const auto shown = [&] { return std::ranges::any_of(program.UnmanagedWindows(), dropped) == open; };
            return program.WaitUntil(shown, 10s);
        };
        const auto openMenu = [&] {
            return program.ClickAt(menuBar - QPoint(0, program.menuBarHeight() / 2), true) && menuIs(true);
        };
        if (!openMenu() || !facesAgree())
            return fail("the menu did not open, or a face changed: " + failure);
        program.Tap(XK_Escape);
        if (!menuIs(false) || !facesAgree())
            return fail("the menu did not close, or a face changed: " + failure);
        program.Tap(XK_Escape);
        if (!openMenu())
            return fail("the menu did not open again");
        program.Tap(XK_Right); // ファイル closes a moment before 転送先 opens, right of it
        if (!menuIs(true, menuBar.x()))
            return fail("Right did not go on to 転送先");
        program.Tap(XK_r);
        model.ChooseMail();
        return menuIs(false) || fail("ふみばこメール(&R) did not close the menu");
    }

    bool settle(Effect effect)
    {
        if (effect == Effect::TransferToNone)
            return DismissNoTargetBox();
        if (effect == Effect::TransferToTarget) {
            m_wordExpected += testing::AsReceived(model.Committed(), "\n");
            const std::string received = word->WaitToReceive(m_wordExpected);
            if (received != m_wordExpected)
                return fail("the transfers delivered\n" + received.substr(0, 300) + "\ninstead of\n"
                            + m_wordExpected.substr(0, 300));
            return program.BackToKeyboard() || fail("the keyboard did not come back");
        }
        return (program.Ping() || fail("the program stopped answering")) && facesAgree();
    }

    bool facesAgree()
    {
        std::string wrong;
        return program.WaitUntil([&] {
            const auto faces = program.Faces();
            wrong.clear();
            for (int key = 1; key <= testing::KeyboardModel::Keys; ++key) {
                if (faces[key - 1] != model.Face(key))
                    wrong += QStringLiteral(" %1 is %2").arg(key).arg(faces[key - 1], 6, 16).toStdString();
            }
            return wrong.empty();
        }, 5s) || fail("key faces:" + wrong);
    }

    std::string m_wordExpected;
};

// How every run begins, whatever its length and seed (がっこう by clicks, the tab order once
// round, the menu, shortcuts, read-aloud, Space, Enter); seven utterances.
std::vector<Step> opening()
{
    const auto click = [](int key) { return Step{Act::Click, key}; };
    std::vector<Step> steps{{Act::Paste}, click(63), click(6), click(47), click(65), {Act::Character}, click(66),
                            click(65), click(10), click(65), click(3), click(65)};
    steps.insert(steps.end(), testing::KeyboardModel::Keys + 1, Step{Act::Tab}); // once round
    steps.insert(steps.end(), {click(67), click(1), click(52), click(65), click(68), {Act::MenuMail}, click(2),
                               click(70), click(67), {Act::ChooseWord}, click(64), click(63), {Act::BackTab},
                               {Act::BackTab}, {Act::Space}, {Act::Enter}, click(65), click(67)});
    return steps;
}
constexpr std::size_t OpeningUtterances = 7;

int setting(const char *name, int otherwise)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : otherwise;
}

// The contents of the WAV files in the folder, in the order of their names.
std::vector<std::string> wavs(const std::string &folder)
{
    std::vector<std::filesystem::path> paths(std::filesystem::directory_iterator(folder), {});
    std::ranges::sort(paths);
    std::vector<std::string> contents;
    for (const auto &path : paths) {
        std::ifstream in(path, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return contents;
}

// The end-to-end run: placed as it should be; a fixed opening and random steps, each checked
// against the model; the character's first utterances what the model says. HIRAGANA_SOAK_ACTIONS
// (random steps), HIRAGANA_SOAK_SEED and HIRAGANA_SOAK_PASTE (the big paste's length) come from
// the environment.
class Soak : public Program {
protected:
    Step chooseStep()
    {
        if (model.Box().size() > 20000)
            return {Act::Click, 64}; // a new line drops what a big paste left in the box
        // Beyond this the engine's copy is worn down by back-space, so that transfers stay short.
        const bool textIsLong = model.Committed().size() > 1500;
        // A character key; confirm, back-space, new line, the marks, read-aloud, transfer; the
        // other acts in their order.
        const double weights[] = {30, 14, textIsLong ? 40.0 : 4.0, 2, 4, 3, 0.6, textIsLong ? 0.0 : 0.3,
                                  6, 4, 5, 3, 4, 0.7, 0.7, 0.1};
        const int pick = std::discrete_distribution<int>(std::begin(weights), std::end(weights))(random);
        const int key = std::uniform_int_distribution(1, 63)(random); // not the marks or commands
        if (pick == 0)
            return {Act::Click, key <= 46 ? key : key <= 60 ? key + 2 : std::array{66, 68, 69}[std::size_t(key - 61)]};
        return pick < 8 ? Step{Act::Click, std::array{65, 63, 64, 47, 48, 70, 67}[std::size_t(pick - 1)]}
                        : Step{Act(pick - 7)};
    }

    void paste(int length)
    {
        static const QString alphabet = QStringLiteral(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,!?-+*/()[]{}<>@#$%&=~^|:;'\"\\`_"
            "あいうえおかがきくけこさざしすせそたちっつてとなにぬねのはばぱひふへほまみむめもゃやゅゆょよらりるれろわをん、。\u3000漢字\n");
        QString text;
        while (text.size() < length)
            text += alphabet[random() % alphabet.size()];
        if (model.BoxHasFocus()) // Ctrl+V on a key does nothing to tell apart
            Paste(text + QStringLiteral("😀")); // and a surrogate pair
    }

    // The opening and the random steps; false at the first whose outcome is not the model's.
    bool Run(int actions)
    {
        const std::vector<Step> steps = opening();
        const int bigPasteAt = actions / 20;
        for (int i = 1 - int(steps.size()); i <= actions; ++i) {
            // A big paste once, after a new line, which puts the focus into the box.
            const Step step = i <= 0 ? steps[std::size_t(i - 1 + int(steps.size()))]
                : i == bigPasteAt - 1 ? Step{Act::Click, 64} : i == bigPasteAt ? Step{Act::Paste} : chooseStep();
            if (step.act == Act::Paste)
                paste(i <= 0 ? 3 : i == bigPasteAt ? setting("HIRAGANA_SOAK_PASTE", 200000) : 1 + int(random() % 120));
            if (!Do(step))
                return fail("step " + std::to_string(i) + ", " + failure);
        }
        return true;
    }

    // The program's first utterances are what the voice here makes of what the model says was said.
    bool SpeechMatches()
    {
        const std::size_t count = std::min(model.Said().size(), OpeningUtterances);
        setenv(SpeechWavDirVariable, dir("voice").c_str(), 1);
        std::atomic<std::size_t> made = 0;
        {
            SpeechWorker voice(DefaultAudioSinks());
            for (std::size_t i = 0; i < count; ++i)
                voice.Submit(model.Said()[i], [&made](auto) { ++made; });
            program.WaitUntil([&] { return made == count; }, 60s);
        }
        const auto reference = wavs(dir("voice"));
        std::vector<std::string> said;
        // The character says one text after another, each for as long as it takes to hear.
        return program.WaitUntil([&] {
            said = wavs(dir("wav"));
            return said.size() >= count && std::equal(reference.begin(), reference.end(), said.begin());
        }, 60s) || fail(std::to_string(said.size()) + " utterances, the first not what the model says");
    }
};

// When what the program depends on fails, it may not hang, crash or lose the composed text.
using Faults = Program;

const std::initializer_list<int> Gakkou{6, 47, 65, 66, 65, 10, 65, 3, 65}; // が っ こ う, each confirmed

// Kana of more kinds than a transfer into an xterm has spare keys for: it types them in batches.
QString kana(int length)
{
    return QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよ").repeated(40).left(length);
}

} // namespace

TEST_F(Soak, AnOpeningAndRandomStepsAgreeWithTheModel)
{
    random.seed(unsigned(setting("HIRAGANA_SOAK_SEED", 1)));
    // The Qt editor answers pings, so a transfer knows when it has read each batch of keys.
    word = testing::StartEditor(ToUtf8(MicrosoftWordTitle), m_directory.path());
    // No open_jtalk on the PATH: the program speaks with espeak-ng as the reference voice here
    // does, whose output is the same each time. Open JTalk has tests of its own.
    ASSERT_TRUE(StartAfter(*word, {"PATH=/nonexistent"}));
    EXPECT_EQ(program.Titled(driver::KeyboardTitle).size(), 1u);

    // Centred on the whole screen for its outer size as created (a client area of 11880 x 8190
    // twips below the menu bar), then 9000 twips high with the top edge kept.
    const QRect screen = QGuiApplication::primaryScreen()->geometry(), frame = program.FrameRect();
    const QSize border = frame.size() - program.ClientRect().size();
    const QSize created(792 + border.width(), 546 + program.menuBarHeight() + border.height());
    EXPECT_NEAR(frame.left(), (screen.width() - created.width()) / 2.0, 1.0);
    EXPECT_NEAR(frame.top(), (screen.height() - created.height()) / 2.0, 1.0);
    EXPECT_EQ(frame.height() * 15, 9000);
    EXPECT_EQ(program.ClientRect().width(), 792);

    ASSERT_TRUE(Run(setting("HIRAGANA_SOAK_ACTIONS", 3000))) << failure;
    EXPECT_TRUE(SpeechMatches()) << failure;
    ExpectTextDeliveredAndQuit();
}

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
        "HOME=" + home, "XDG_RUNTIME_DIR=" + home, "XDG_CONFIG_HOME=" + home, "PULSE_STATE_PATH=" + home,
        "PULSE_RUNTIME_PATH=" + home, "pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
        "--disable-shm=yes", "--log-level=error", "-L", "module-null-sink", "-L",
        "module-native-protocol-unix socket=" + home + "/native auth-anonymous=1"};
    auto pulseaudio = std::make_unique<ChildProcess>("/usr/bin/env", daemon, "");
    const auto playing = [&] {
        const std::string pactl = "pactl -s " + server + " list short sink-inputs 2>/dev/null | grep -q .";
        return program.WaitUntil([&] { return std::system(pactl.c_str()) == 0; }, 60s);
    };
    ASSERT_TRUE(program.Start({QString::fromStdString("PULSE_SERVER=" + server)}));
    Paste(kana(40));
    ASSERT_TRUE(Click({63, 70})) << failure;
    ASSERT_TRUE(playing()) << "nothing plays";
    kill(pulseaudio->Pid(), SIGKILL); // as a crash would
    const auto said = [&] { return std::distance(std::filesystem::directory_iterator(dir("wav")), {}); };
    const auto before = said();
    EXPECT_TRUE(Click(Gakkou)) << failure; // the keys work, and the character speaks in silence
    EXPECT_TRUE(program.WaitUntil([&] { return said() == before + 4; }, 60s));
    std::filesystem::remove(home + "/native");
    pulseaudio = std::make_unique<ChildProcess>("/usr/bin/env", daemon, "");
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
    EXPECT_TRUE(program.WaitUntilActive(windows.front(), 10s));
    program.Tap(XK_Return);
    EXPECT_EQ(program.ExitCode(10s), 1);
}

} // namespace hiragana

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    // No sound server, for the program and the voice here: nothing reaches anyone's speakers.
    setenv("PULSE_SERVER", "unix:/nonexistent/hiragana-soak-no-sound", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
