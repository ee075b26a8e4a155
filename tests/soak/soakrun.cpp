#include "soakrun.h"

// Qt first: Xlib's macros (Bool, Status …) would clash with it.
#include <QClipboard>
#include <QGuiApplication>

#include "programdriver.h"
#include "randomtext.h"
#include "targetapps.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace hiragana::soak {

namespace {
using Clock = std::chrono::steady_clock;
using Effect = KeyboardModel::Effect;

constexpr int VoicedKey = 47, SemiVoicedKey = 48, BackSpaceKey = 63, NewLineKey = 64, ConfirmKey = 65,
              TransferKey = 67, ReadAloudKey = 70;
// Beyond these the engine's copy is worn down by back-space, and a box that holds a big paste
// is written over by a new line, so that transfers stay short.
constexpr std::size_t LongCommittedText = 1500;
constexpr std::size_t LongBoxText = 20000;
constexpr unsigned long FocusRed = 0xFF0000;

// Where two texts part, for a failure message.
std::string differences(const std::string &actual, const std::string &expected)
{
    const auto differ = std::ranges::mismatch(actual, expected).in1 - actual.begin();
    const auto from = std::size_t(std::max<std::ptrdiff_t>(0, differ - 40));
    return std::to_string(actual.size()) + " bytes instead of " + std::to_string(expected.size())
        + ", differing from byte " + std::to_string(differ) + ":\n" + actual.substr(from, 200) + "\ninstead of\n"
        + expected.substr(from, 200);
}

std::vector<int> kanaKeys()
{
    std::vector<int> numbers;
    for (std::size_t i = 0; i < KeyTable.size(); ++i) {
        if (KeyTable[i].role == KeyRole::KanaKey)
            numbers.push_back(int(i + 1));
    }
    return numbers;
}
} // namespace

SoakRun::SoakRun(driver::ProgramDriver &driver, testing::TargetApp &word, std::string wordLineBreak,
                 const Settings &settings)
    : m_driver(driver)
    , m_word(word)
    , m_wordLineBreak(std::move(wordLineBreak))
    , m_settings(settings)
    , m_random(settings.seed)
{
}

bool SoakRun::fail(std::string reason)
{
    m_failure = std::move(reason) + "\nafter these actions:";
    for (const std::string &action : m_recent)
        m_failure += "\n  " + action;
    return false;
}

SoakRun::Action SoakRun::chooseAction()
{
    if (m_model.Box().size() > LongBoxText)
        return Action::ClickNewLine;
    const bool textIsLong = m_model.Committed().size() > LongCommittedText;
    // In the order of Action.
    const std::array<double, 16> weights{
        30, 14, textIsLong ? 40.0 : 4.0, 2, 4, 3, 0.6, textIsLong ? 0.0 : 0.3, 6, 4, 5, 3, 3, 1, 0.7, 0.7,
    };
    std::discrete_distribution<int> pick(weights.begin(), weights.end());
    return Action(pick(m_random));
}

Effect SoakRun::click(int number)
{
    m_clickLost = m_clickLost || !m_driver.ClickKey(number);
    return m_model.Click(KeyTable[std::size_t(number - 1)]);
}

void SoakRun::paste(const std::u16string &text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
    driver::ProcessDriverEvents();
    m_driver.input().Tap(XK_v, driver::XInput::Control);
    m_model.TypeIntoBox(text);
}

namespace {
constexpr std::array<const char *, 16> ActionNames{
    "click kana", "click confirm", "click back-space", "click new line", "click voiced mark",
    "click semi-voiced mark", "click read-aloud", "click transfer", "Tab", "Shift+Tab", "Space", "Enter",
    "type", "paste", "Ctrl+W", "Ctrl+R",
};

std::string describe(const KeyboardModel &model)
{
    const KeyRecord *key = model.FocusedKey();
    return std::string(" -> focus ") + (key ? std::string(key->name) : "text box") + ", box "
        + std::to_string(model.Box().size()) + ", pending " + ToUtf8(model.Pending());
}
} // namespace

Effect SoakRun::perform(Action action)
{
    const Effect effect = carryOut(action);
    m_recent.push_back(ActionNames[std::size_t(action)] + describe(m_model));
    if (m_recent.size() > 12)
        m_recent.pop_front();
    return effect;
}

Effect SoakRun::carryOut(Action action)
{
    static const std::vector<int> kana = kanaKeys();
    std::uniform_int_distribution<std::size_t> anyKana(0, kana.size() - 1);
    std::uniform_int_distribution<std::size_t> shortLength(1, 12);
    std::uniform_int_distribution<std::size_t> pasteLength(1, 120);
    auto &input = m_driver.input();
    switch (action) {
    case Action::ClickKana: return click(kana[anyKana(m_random)]);
    case Action::ClickConfirm: return click(ConfirmKey);
    case Action::ClickBackSpace: return click(BackSpaceKey);
    case Action::ClickNewLine: return click(NewLineKey);
    case Action::ClickVoiced: return click(VoicedKey);
    case Action::ClickSemiVoiced: return click(SemiVoicedKey);
    case Action::ClickReadAloud: return click(ReadAloudKey);
    case Action::ClickTransfer: return click(TransferKey);
    case Action::Tab:
        input.Tap(XK_Tab);
        m_model.Tab();
        return Effect::Nothing;
    case Action::BackTab:
        input.Tap(XK_Tab, driver::XInput::Shift);
        m_model.BackTab();
        return Effect::Nothing;
    case Action::Space:
        input.Tap(XK_space);
        return m_model.PressSpace();
    case Action::Enter:
        input.Tap(XK_Return);
        return m_model.PressEnter();
    case Action::Type: {
        // Typing reaches the box only while it holds the focus; elsewhere the keys do nothing.
        const std::u32string text = RandomTypedText(m_random, shortLength(m_random));
        input.Type(text);
        m_model.TypeIntoBox(ToUtf16(text));
        return Effect::Nothing;
    }
    case Action::Paste:
        // Pasted only where it can land: Ctrl+V on a key does nothing to tell apart.
        if (m_model.BoxHasFocus())
            paste(RandomPasteText(m_random, pasteLength(m_random)));
        return Effect::Nothing;
    case Action::ChooseWord:
        input.Tap(XK_w, driver::XInput::Control);
        m_model.ChooseWord();
        return Effect::Nothing;
    case Action::ChooseMail:
        input.Tap(XK_r, driver::XInput::Control);
        m_model.ChooseMail();
        return Effect::Nothing;
    }
    return Effect::Nothing;
}

bool SoakRun::settle(Effect effect)
{
    if (m_clickLost)
        return fail("a click never reached the program");
    switch (effect) {
    case Effect::Nothing:
        return (m_driver.Ping() || fail("the program stopped answering")) && focusShows();
    case Effect::TransferToNone:
        ++m_boxes;
        return m_driver.DismissNoTargetBox(m_random() % 2 ? XK_Return : XK_Escape)
            || fail("the box saying there is no target did not show or did not go");
    case Effect::TransferToTarget: {
        m_wordExpected += AsReceived(m_model.Committed(), m_wordLineBreak);
        const std::string received = m_word.WaitToReceive(m_wordExpected);
        if (received != m_wordExpected) {
            return fail("transfer " + std::to_string(m_delivered + 1) + " delivered "
                        + differences(received, m_wordExpected));
        }
        ++m_delivered;
        return (m_driver.Ping() && m_driver.ActivateKeyboard()) || fail("the keyboard did not come back");
    }
    }
    return true;
}

// The key that holds the focus shows it in red, where the model says it should be.
bool SoakRun::focusShows()
{
    const KeyRecord *key = m_model.FocusedKey();
    if (!key || !key->showsFocus)
        return true;
    const int number = int(key - KeyTable.data()) + 1;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (m_driver.KeyFaceColour(number) != FocusRed) {
        if (Clock::now() > deadline) {
            std::string red;
            for (int other = 1; other <= int(KeyTable.size()); ++other) {
                if (m_driver.KeyFaceColour(other) == FocusRed)
                    red += " " + std::to_string(other);
            }
            return fail("the focus is not on key " + std::to_string(number) + " but on" + red + "; character windows "
                        + std::to_string(m_driver.windows().UnmanagedShown()) + "; keyboard active "
                        + std::to_string(m_driver.windows().IsActive(m_driver.keyboard())));
        }
        driver::ProcessDriverEvents();
    }
    return true;
}

// What the text box holds, copied out as a user would (select all, copy, caret back to the
// end), is the model's text.
bool SoakRun::boxHoldsModelText()
{
    auto &input = m_driver.input();
    input.Tap(XK_a, driver::XInput::Control);
    input.Tap(XK_c, driver::XInput::Control);
    input.Tap(XK_End, driver::XInput::Control);
    // The copy is in once the program has taken the clipboard over from the driver.
    QClipboard *clipboard = QGuiApplication::clipboard();
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (clipboard->ownsClipboard() && Clock::now() < deadline)
        driver::ProcessDriverEvents();
    if (!m_driver.Ping() || clipboard->ownsClipboard())
        return fail("the program did not copy its text");
    const std::string expected = AsReceived(m_model.Box(), "\n");
    // The first request can come too early for the new owner and bring nothing back.
    std::string copied = clipboard->text().toStdString();
    for (int attempt = 0; copied.empty() && !expected.empty() && attempt < 50; ++attempt) {
        driver::ProcessDriverEvents();
        copied = clipboard->text().toStdString();
    }
    if (copied == expected)
        return true;
    return fail("the text box holds " + differences(copied, expected));
}

bool SoakRun::Run()
{
    const int bigPasteAt = m_settings.actions / 20;
    const int sampleEvery = std::max(1, m_settings.actions / 20);
    const auto start = Clock::now();
    for (int i = 1; i <= m_settings.actions; ++i) {
        Effect effect;
        if (i == bigPasteAt) {
            // A new line puts the focus into the box for the paste.
            effect = click(NewLineKey);
            paste(RandomPasteText(m_random, m_settings.bigPasteLength));
            if (!boxHoldsModelText())
                return false;
        } else {
            effect = perform(chooseAction());
        }
        if (!settle(effect)) {
            m_failure = "action " + std::to_string(i) + ": " + m_failure;
            return false;
        }
        if (i % sampleEvery == 0 && m_model.BoxHasFocus() && !boxHoldsModelText()) {
            m_failure = "action " + std::to_string(i) + ": " + m_failure;
            return false;
        }
        if (i % sampleEvery == 0) {
            m_memory.push_back(m_driver.process().ResidentKiB());
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
            std::printf("%6d actions, %4lld s, %6ld KiB resident, text %zu, transfers %d, boxes %d\n", i,
                        static_cast<long long>(seconds), m_memory.back(), m_model.Committed().size(), m_delivered,
                        m_boxes);
            std::fflush(stdout);
        }
    }
    return true;
}

} // namespace hiragana::soak
