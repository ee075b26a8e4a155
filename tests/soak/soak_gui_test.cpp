// The real program as a user starts and works it: placed as it should be; a fixed opening and
// random steps, each checked against the model (programtest.h); the character's first utterances
// what the model says. HIRAGANA_SOAK_ACTIONS (random steps), HIRAGANA_SOAK_SEED and
// HIRAGANA_SOAK_PASTE (the big paste's length) come from the environment.

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QApplication>
#include <QScreen>

#include "programtest.h"
#include "speechworker.h"

#include <fstream>

namespace hiragana {
namespace {
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

} // namespace hiragana

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    // No sound server, for the program and the voice here: nothing reaches anyone's speakers.
    setenv("PULSE_SERVER", "unix:/nonexistent/hiragana-soak-no-sound", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
