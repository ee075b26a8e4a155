// The real program as a user starts and works it, through the X server, every step checked
// against an independent model of the keys: the window centred for its size as created, then
// 9000 twips high, with the focus in the text box; a fixed opening (がっこう by clicks, the tab
// order round every key, the menus and their access keys and shortcuts, read-aloud, transfers to
// a live window and to none), then random clicks, Tab, Shift+Tab, Space, Enter, typing, pastes
// (one big one) and shortcuts. After every step each key's face on screen is the model's; the
// text box, copied out, is the model's text; every transfer arrives exactly; the speech
// character shows where it belongs and says, in order, what the model says it should (WAV
// files, there being no sound server); memory levels off, a last transfer into the mail writer
// is exact and Ctrl+Q ends the program with status 0.
// Settings from the environment: HIRAGANA_SOAK_ACTIONS (random actions after the opening),
// HIRAGANA_SOAK_SEED, HIRAGANA_SOAK_PASTE (the big paste's length) and HIRAGANA_SOAK_TARGET
// (editor or xterm as "Microsoft Word").
#include <gtest/gtest.h>

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QApplication>
#include <QClipboard>
#include <QScreen>

#include "keyboardmodel.h"
#include "programdriver.h"
#include "speechoutput.h"
#include "speechworker.h"
#include "targetapps.h"
#include "waiting.h"

#include <X11/keysym.h>

#include <atomic>
#include <deque>
#include <fstream>
#include <random>

using namespace hiragana;
using namespace std::chrono_literals;
using hiragana::testing::KeyboardModel;
using hiragana::testing::TargetApp;
using Effect = KeyboardModel::Effect;

namespace {
enum class Act { Click, Tab, BackTab, Space, Enter, Type, Paste, ChooseWord, ChooseMail, MailByMenu, Menu, CheckBox,
                 Character };
struct Step {
    Act act;
    int key = 0;
};
constexpr const char *ActNames[] = {"click", "Tab", "Shift+Tab", "Space", "Enter", "type", "paste", "Ctrl+W", "Ctrl+R",
                                    "ふみばこメール(&R) in the menu", "menu opened and closed", "copy", "character"};
constexpr int BackSpaceKey = 63, NewLineKey = 64, ConfirmKey = 65, TransferKey = 67, ReadAloudKey = 70;

// Every run begins so, whatever its length and seed: the focus in the box, がっこう by clicks,
// the tab order once round, the focus colours of a kana, a digit and the punctuation, the
// menus, read-aloud, Space and Enter; seven utterances.
std::vector<Step> opening()
{
    std::vector<Step> steps = {{Act::Type}, {Act::CheckBox}, {Act::Click, 6}, {Act::Click, 47}, {Act::Click, 65},
                               {Act::Character}, {Act::Click, 66}, {Act::Click, 65}, {Act::Click, 10}, {Act::Click, 65},
                               {Act::Click, 3}, {Act::Click, 65}, {Act::CheckBox}};
    steps.insert(steps.end(), KeyboardModel::Keys + 1, Step{Act::Tab});
    steps.insert(steps.end(), {{Act::Click, 67}, {Act::Click, 1}, {Act::Click, 52}, {Act::Click, 65}, {Act::Click, 68},
                               {Act::Menu}, {Act::Click, 70}, {Act::MailByMenu}, {Act::Click, 67}, {Act::ChooseWord},
                               {Act::Click, 64}, {Act::Click, 63}, {Act::BackTab}, {Act::BackTab}, {Act::Space},
                               {Act::Enter}, {Act::Click, 65}, {Act::Click, 67}});
    return steps;
}
constexpr std::size_t OpeningUtterances = 7;
// Beyond these the engine's copy is worn down by back-space, and a box that holds a big paste
// is written over by a new line, so that transfers stay short.
constexpr std::size_t LongCommittedText = 1500, LongBoxText = 20000;

int setting(const char *name, int otherwise)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : otherwise;
}

std::string toUtf8(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size())).toStdString();
}

// The text as a target shows it: each CR LF pair, lone CR and lone LF becomes lineBreak.
std::string asReceived(const std::u16string &text, const std::string &lineBreak)
{
    QString shown = QString::fromStdU16String(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return shown.replace(u'\n', QString::fromStdString(lineBreak)).toStdString();
}

std::u32string randomText(std::mt19937 &random, std::u32string_view alphabet, std::size_t length)
{
    std::u32string text;
    while (text.size() < length)
        text += alphabet[random() % alphabet.size()];
    return text;
}

std::vector<std::string> wavFiles(const std::filesystem::path &folder)
{
    std::vector<std::filesystem::path> paths;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        paths.push_back(entry.path());
    std::ranges::sort(paths);
    std::vector<std::string> contents;
    for (const auto &path : paths) {
        std::ifstream in(path, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return contents;
}

// What the voice makes of each text, as WAV files made here the same way as the program's.
std::vector<std::string> referenceSpeech(const std::vector<std::u16string> &texts, const std::filesystem::path &folder)
{
    std::filesystem::create_directory(folder);
    setenv(SpeechWavDirVariable, folder.c_str(), 1);
    std::atomic<std::size_t> said = 0;
    {
        SpeechWorker worker(DefaultAudioSinks());
        for (const std::u16string &text : texts)
            worker.Submit(text, [&said](auto) { ++said; });
        x11::WaitUntil([&] { return said == texts.size(); }, std::chrono::minutes(2), 10ms);
    }
    return wavFiles(folder);
}

class SoakRun {
public:
    SoakRun(driver::ProgramDriver &driver, TargetApp &word, std::string wordLineBreak)
        : m_driver(driver), m_word(word), m_wordLineBreak(std::move(wordLineBreak))
    {
    }

    // Runs the opening and the random actions; false at the first step whose outcome is not the
    // model's, with the reason in failure.
    bool Run(int actions);
    bool SpeechMatches(const std::filesystem::path &programWavs, const std::filesystem::path &referenceWavs);

    KeyboardModel model;
    std::string failure;
    std::vector<long> memory;
    int delivered = 0, boxes = 0;

private:
    Step chooseStep();
    Effect perform(const Step &step);
    bool settle(Effect effect);
    bool facesShow();
    bool boxHoldsModelText();
    void paste(std::size_t length);
    bool fail(const std::string &reason);

    driver::ProgramDriver &m_driver;
    TargetApp &m_word;
    std::string m_wordLineBreak;
    std::mt19937 m_random{unsigned(setting("HIRAGANA_SOAK_SEED", 1))};
    std::string m_wordExpected;
    std::deque<std::string> m_recent; // the last few steps, to tell what led to a failure
};

bool SoakRun::fail(const std::string &reason)
{
    failure = reason + "\nafter these steps:";
    for (const std::string &step : m_recent)
        failure += "\n  " + step;
    return false;
}

Step SoakRun::chooseStep()
{
    if (model.Box().size() > LongBoxText)
        return {Act::Click, NewLineKey};
    const bool textIsLong = model.Committed().size() > LongCommittedText;
    // A kana, the seven command keys, then the other acts in the order of Act.
    static constexpr int Commands[] = {ConfirmKey, BackSpaceKey, NewLineKey, 47, 48, ReadAloudKey, TransferKey};
    const double weights[] = {30, 14, textIsLong ? 40.0 : 4.0, 2, 4, 3, 0.6, textIsLong ? 0.0 : 0.3,
                              6, 4, 5, 3, 3, 1, 0.7, 0.7, 0.1, 0.1};
    const int pick = std::discrete_distribution<int>(std::begin(weights), std::end(weights))(m_random);
    if (pick == 0) { // one of the 63 character keys: all but the marks and the command keys
        static constexpr std::array<int, 3> Others{66, 68, 69};
        const int key = std::uniform_int_distribution(1, 63)(m_random);
        return {Act::Click, key <= 46 ? key : key <= 60 ? key + 2 : Others[std::size_t(key - 61)]};
    }
    if (pick < 8)
        return {Act::Click, Commands[pick - 1]};
    return {Act(pick - 7)};
}

void SoakRun::paste(std::size_t length)
{
    static constexpr std::u32string_view Alphabet =
        U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,!?-+*/()[]{}<>@#$%&=~^|:;'\"\\`_"
        U"あいうえおかがきくけこさざしすせそたちっつてとなにぬねのはばぱひふへほまみむめもゃやゅゆょよらりるれろわをん"
        U"、。\u3000漢字日本語🎌😀👍\n";
    const std::u32string text = randomText(m_random, Alphabet, length);
    const QString pasted = QString::fromUcs4(text.data(), qsizetype(text.size()));
    QGuiApplication::clipboard()->setText(pasted);
    driver::ProgramDriver::ServeEvents(); // the program asks for the text at once
    m_driver.input().Tap(XK_v, driver::XInput::Control);
    model.TypeIntoBox(pasted.toStdU16String());
}

Effect SoakRun::perform(const Step &step)
{
    auto &input = m_driver.input();
    Effect effect = Effect::Nothing;
    switch (step.act) {
    case Act::Click:
        if (!m_driver.ClickKey(step.key))
            fail("a click never went out");
        effect = model.Click(step.key);
        break;
    case Act::Tab: input.Tap(XK_Tab); model.Tab(); break;
    case Act::BackTab: input.Tap(XK_Tab, driver::XInput::Shift); model.BackTab(); break;
    case Act::Space: input.Tap(XK_space); effect = model.PressSpace(); break;
    case Act::Enter: input.Tap(m_random() % 2 ? XK_Return : XK_KP_Enter); effect = model.PressEnter(); break;
    case Act::Type: {
        // Reaches the box only while it holds the focus; on a key the letters do nothing.
        static const std::u32string alphabet = U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789😀あé";
        const std::u32string text = randomText(m_random, alphabet, 1 + m_random() % 12);
        input.Type(text);
        model.TypeIntoBox(QString::fromUcs4(text.data(), qsizetype(text.size())).toStdU16String());
        break;
    }
    case Act::Paste:
        if (model.BoxHasFocus()) // Ctrl+V on a key does nothing to tell apart
            paste(1 + m_random() % 120);
        break;
    case Act::ChooseWord: input.Tap(XK_w, driver::XInput::Control); model.ChooseWord(); break;
    case Act::ChooseMail: input.Tap(XK_r, driver::XInput::Control); model.ChooseMail(); break;
    case Act::Menu:
    case Act::MailByMenu: {
        // ファイル, the first menu, opens under a click at the menu bar's left end; Right goes on
        // to 転送先, whose item ふみばこメール has the access key R.
        input.ClickAt(m_driver.ClientRect().topLeft() + QPoint(20, m_driver.menuBarHeight() / 2), true);
        if (!m_driver.WaitUntil([&] { return m_driver.MenuOpen(); }, 10s))
            fail("the menu did not open");
        const auto closed = [&] { return !m_driver.MenuOpen(); };
        if (step.act == Act::MailByMenu) {
            input.Tap(XK_Right);
            input.Tap(XK_r);
            model.ChooseMail();
        } else { // the first Escape closes the menu, the second leaves the menu bar
            input.Tap(XK_Escape);
            m_driver.WaitUntil(closed, 10s);
            input.Tap(XK_Escape);
        }
        if (!m_driver.WaitUntil(closed, 10s))
            fail("the menu did not close");
        break;
    }
    case Act::CheckBox:
        boxHoldsModelText();
        break;
    case Act::Character: {
        // The figure stands 75 twips right of the window's outer left edge, 840 below its top.
        const QRect figure(m_driver.FrameRect().topLeft() + QPoint(5, 56), QSize(64, 128));
        if (!m_driver.WaitUntil([&] { return std::ranges::count(m_driver.UnmanagedWindows(), figure) == 1; }, 20s))
            fail("the speech character did not show where it belongs");
        break;
    }
    }
    const std::string focus = model.FocusedKey() ? "key " + std::to_string(model.FocusedKey()) : "the text box";
    m_recent.push_back(ActNames[int(step.act)] + (step.key ? " " + std::to_string(step.key) : "") + " -> focus on "
                       + focus + ", box " + std::to_string(model.Box().size()) + ", pending " + toUtf8(model.Pending()));
    if (m_recent.size() > 12)
        m_recent.pop_front();
    return effect;
}

bool SoakRun::settle(Effect effect)
{
    switch (effect) {
    case Effect::Nothing:
        return (m_driver.Ping() || fail("the program stopped answering")) && facesShow();
    case Effect::TransferToNone:
        ++boxes;
        return m_driver.DismissNoTargetBox(m_random() % 2 ? XK_Return : XK_Escape)
            || fail("the box saying there is no target did not show or did not go");
    case Effect::TransferToTarget: {
        m_wordExpected += asReceived(model.Committed(), m_wordLineBreak);
        const std::string received = m_word.WaitToReceive(m_wordExpected);
        if (received != m_wordExpected)
            return fail("transfer " + std::to_string(delivered + 1) + " delivered\n" + received.substr(0, 400)
                        + "\ninstead of\n" + m_wordExpected.substr(0, 400));
        ++delivered;
        return (m_driver.Ping() && m_driver.ActivateKeyboard()) || fail("the keyboard did not come back");
    }
    }
    return true;
}

// Every key shows the model's face, where the speech character does not stand in front of it.
bool SoakRun::facesShow()
{
    std::string wrong;
    const bool right = m_driver.WaitUntil([&] {
        const auto faces = m_driver.Faces();
        const auto covering = m_driver.UnmanagedWindows();
        wrong.clear();
        for (int key = 1; key <= KeyboardModel::Keys; ++key) {
            const bool hidden = std::ranges::any_of(covering, [&](const QRect &r) { return r.contains(m_driver.FaceSpot(key)); });
            if (!hidden && faces[key - 1] != model.Face(key))
                wrong += QStringLiteral(" %1 shows %2 for %3").arg(key).arg(faces[key - 1], 6, 16).arg(model.Face(key), 6, 16).toStdString();
        }
        return wrong.empty();
    }, 5s);
    return right || fail("faces:" + wrong);
}

// What the text box holds, copied out as a user would (select all, copy, caret back to the
// end), is the model's text.
bool SoakRun::boxHoldsModelText()
{
    if (model.Box().empty())
        return true; // a copy of nothing leaves the clipboard as it was
    auto &input = m_driver.input();
    input.Tap(XK_a, driver::XInput::Control);
    input.Tap(XK_c, driver::XInput::Control);
    input.Tap(XK_End, driver::XInput::Control);
    // Until the program has copied, the clipboard may still hold the driver's last paste or the
    // program's last copy.
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QString expected = QString::fromStdString(asReceived(model.Box(), "\n"));
    QString copied;
    return m_driver.WaitUntil([&] { return !clipboard->ownsClipboard() && (copied = clipboard->text()) == expected; }, 20s)
        || fail("the text box holds\n" + copied.left(400).toStdString() + "\ninstead of\n" + expected.left(400).toStdString());
}

bool SoakRun::Run(int actions)
{
    const std::vector<Step> steps = opening();
    const int bigPasteAt = actions / 20, sampleEvery = std::max(1, actions / 20);
    for (int i = 1 - int(steps.size()); i <= actions; ++i) {
        Effect effect = Effect::Nothing;
        if (i <= 0) {
            effect = perform(steps[std::size_t(i - 1 + int(steps.size()))]);
        } else if (i == bigPasteAt) {
            effect = perform({Act::Click, NewLineKey}); // which puts the focus into the box
            paste(std::size_t(setting("HIRAGANA_SOAK_PASTE", 200000)));
            boxHoldsModelText();
        } else {
            effect = perform(chooseStep());
        }
        if (!failure.empty() || !settle(effect)
            || (i > 0 && i % sampleEvery == 0 && model.BoxHasFocus() && !boxHoldsModelText())) {
            failure = "step " + std::to_string(i) + ": " + failure;
            return false;
        }
        if (i > 0 && i % sampleEvery == 0) {
            memory.push_back(m_driver.ResidentKiB());
            std::printf("%6d actions, %6ld KiB resident, text %zu, transfers %d, boxes %d\n", i, memory.back(),
                        model.Committed().size(), delivered, boxes);
            std::fflush(stdout);
        }
    }
    return true;
}

// The utterances so far, in order, are what the model says the character was asked to say: at
// least those of the opening, and every later one that is complete.
bool SoakRun::SpeechMatches(const std::filesystem::path &programWavs, const std::filesystem::path &referenceWavs)
{
    const std::size_t least = std::min(model.Said().size(), OpeningUtterances);
    m_driver.WaitUntil([&] { return wavFiles(programWavs).size() >= least; }, 60s);
    const std::size_t written = std::min(model.Said().size(), std::max(least, wavFiles(programWavs).size()));
    const auto reference = referenceSpeech({model.Said().begin(), model.Said().begin() + std::ptrdiff_t(written)},
                                           referenceWavs);
    std::vector<std::string> said;
    const auto sameUpTo = [&](std::size_t count) {
        return said.size() >= count && reference.size() >= count
            && std::equal(reference.begin(), reference.begin() + std::ptrdiff_t(count), said.begin());
    };
    if (!m_driver.WaitUntil([&] { said = wavFiles(programWavs); return sameUpTo(least); }, 30s))
        return fail(std::to_string(said.size()) + " utterances; the opening's are not what the model says");
    // The last one written may still be under way.
    return said.empty() || sameUpTo(said.size() > written ? written : said.size() - 1)
        || fail("a later utterance is not the model's");
}
} // namespace

TEST(Program, AnOpeningAndRandomActionsAgreeWithTheModel)
{
    hiragana::testing::TemporaryDirectory directory;
    const std::filesystem::path wavs = directory.path() / "wav";
    std::filesystem::create_directory(wavs);
    driver::ProgramDriver program({QStringLiteral("HIRAGANA_SPEECH_WAV_DIR=") + QString::fromStdString(wavs.string())});
    ASSERT_TRUE(program.input().BindCharacters(U"😀あé"));

    // The Qt editor answers pings, so a transfer knows when it has read each batch of keys; an
    // xterm does not, and a transfer into one relies on a settle time a loaded machine can outrun.
    const bool intoTerminal = qEnvironmentVariable("HIRAGANA_SOAK_TARGET") == u"xterm";
    auto word = intoTerminal ? hiragana::testing::StartTerminal("Microsoft Word", directory.path())
                             : hiragana::testing::StartEditor("Microsoft Word", directory.path());
    ASSERT_TRUE(word->WaitUntilReady(program.connection()));
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(program.CameUpActive());
    EXPECT_EQ(program.Titled(driver::KeyboardTitle).size(), 1u);

    // Centred on the whole screen for its outer size as created (client area 11880 x 8190
    // twips below the menu bar), then 9000 twips high with the top edge kept.
    const QRect screen = QGuiApplication::primaryScreen()->geometry(), frame = program.FrameRect();
    const QRect client = program.ClientRect();
    const QSize created(792 + frame.width() - client.width(), 546 + program.menuBarHeight() + frame.height() - client.height());
    EXPECT_NEAR(frame.left(), (screen.width() - created.width()) / 2.0, 1.0);
    EXPECT_NEAR(frame.top(), (screen.height() - created.height()) / 2.0, 1.0);
    EXPECT_EQ(frame.height() * 15, 9000);
    EXPECT_EQ(client.width(), 792);

    SoakRun run(program, *word, intoTerminal ? "\r" : "\n");
    ASSERT_TRUE(run.Run(setting("HIRAGANA_SOAK_ACTIONS", 3000))) << run.failure;
    std::printf("%d transfers delivered exactly, %d boxes dismissed\n", run.delivered, run.boxes);
    // Memory may still grow a little once warmed up (the character's queue grows with every
    // confirm), but not by this much.
    if (run.memory.size() >= 4) {
        EXPECT_LE(run.memory.back() - run.memory[run.memory.size() / 4], 32 * 1024);
    }

    EXPECT_TRUE(run.SpeechMatches(wavs, directory.path() / "reference")) << run.failure;

    // The last transfer goes into the mail writer, chosen by Ctrl+R.
    auto mail = hiragana::testing::StartEditor("メールを\u3000書く", directory.path());
    ASSERT_TRUE(mail->WaitUntilReady(program.connection()));
    ASSERT_TRUE(program.ActivateKeyboard());
    program.input().Tap(XK_r, driver::XInput::Control);
    program.ClickKey(TransferKey);
    const std::string expected = asReceived(run.model.Committed(), "\n");
    EXPECT_EQ(mail->WaitToReceive(expected), expected);

    ASSERT_TRUE(program.Ping());
    ASSERT_TRUE(program.ActivateKeyboard());
    EXPECT_TRUE(program.Quit());
}

int main(int argc, char *argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    // No sound server, for the program and for the reference voice here: nothing reaches the
    // speakers of whoever runs the tests.
    setenv("PULSE_SERVER", "unix:/nonexistent/hiragana-soak-no-sound", 1);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
