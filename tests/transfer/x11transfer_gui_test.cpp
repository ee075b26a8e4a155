// The X11 transfer against real windows: an xterm and a Qt editor, on a server of its own
// (with a window manager or without one, as the test is registered).

// Before Xlib, whose macros (None, Bool …) would clash with it.
#include <gtest/gtest.h>

#include "activation.h"
#include "connection.h"
#include "desktop.h"
#include "hiramod.h"
#include "keymap.h"
#include "keytable.h"
#include "targetapps.h"
#include "textcodec.h"
#include "transfertext.h"
#include "voicingmarks.h"
#include "waiting.h"
#include "windowfinder.h"
#include "x11transfer.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace hiragana;
using namespace hiragana::testing;
using namespace std::chrono_literals;

namespace {

const std::u16string Word = u"Microsoft Word";
const std::u16string Mail = u"メールを\u3000書く";
const std::u16string Decoy = u"Notes";

// Every key's string, marked kana, both kinds of line break, ASCII with shifted characters,
// doubled characters and an emoji: far more distinct characters than the spare keys hold.
std::u16string everyKindOfText()
{
    std::u16string text;
    for (const KeyRecord &key : KeyTable)
        text += key.produces;
    text += u"\r\n";
    for (const MarkTable table : {MarkTable(VoicedMarkTable), MarkTable(SemiVoicedMarkTable)}) {
        for (const MarkPair &pair : table)
            text += pair.marked;
    }
    text += u"\rHello, World! ~!@#$%^&*()_+{}|:\"<>? `1234567890-=[]\\;',./";
    text += u"😀、、ああ\r\nおわり。";
    return text;
}

// The text as a target shows it, each line break turned into what Return types there.
std::string asReceived(const std::u16string &text, const std::string &lineBreak)
{
    std::u16string normalized;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            normalized += u'\x1F'; // a placeholder no test text holds
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            normalized += text[i];
        }
    }
    std::string result;
    for (char c : x11::ToUtf8(normalized))
        result += c == '\x1F' ? lineBreak : std::string(1, c);
    return result;
}

// The X11 steps for real; the message box only recorded, since nobody would close it.
class X11TestDesktop final : public Desktop {
public:
    explicit X11TestDesktop(x11::X11Transfer &transfer) : m_transfer(transfer) {}

    bool ActivateWindow(const std::u16string &title) override { return m_transfer.ActivateWindow(title); }
    void ProcessPendingEvents() override {}
    bool SendKeystrokes(const std::u16string &text) override { return m_transfer.SendKeystrokes(text); }
    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        boxes.push_back({prompt, buttons, title});
    }

    struct Box {
        std::u16string prompt;
        int buttons;
        std::u16string title;
    };
    std::vector<Box> boxes;

private:
    x11::X11Transfer &m_transfer;
};

class X11Transfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection = x11::Connection::Open(nullptr);
        ASSERT_TRUE(connection) << "cannot open " << XDisplayName(nullptr) << ": " << std::strerror(errno);
        transfer = x11::X11Transfer::Open(nullptr);
        ASSERT_TRUE(transfer);
        desktop = std::make_unique<X11TestDesktop>(*transfer);
    }

    std::unique_ptr<TargetApp> ready(std::unique_ptr<TargetApp> app)
    {
        EXPECT_TRUE(app->WaitUntilReady(*connection)) << "the target application did not come up";
        return app;
    }
    std::unique_ptr<TargetApp> editor(const std::u16string &title)
    {
        return ready(StartEditor(x11::ToUtf8(title), directory.path()));
    }
    std::unique_ptr<TargetApp> terminal(const std::u16string &title)
    {
        return ready(StartTerminal(x11::ToUtf8(title), directory.path()));
    }

    void transferText(const std::u16string &text, const std::u16string &title)
    {
        state.CommittedText = text;
        state.TargetTitle = title;
        TransferText(state, *desktop);
    }

    // What app, titled title, received since the last call, up to a marker typed now: any
    // earlier keys have arrived once the marker has.
    std::string receivedBeforeMarker(const TargetApp &app, const std::u16string &title)
    {
        const std::string marker = "#" + std::to_string(++markers) + "#";
        auto marking = x11::X11Transfer::Open(nullptr);
        EXPECT_TRUE(marking->ActivateWindow(title));
        EXPECT_TRUE(x11::FocusIsIn(*connection, app.window()));
        EXPECT_TRUE(marking->SendKeystrokes(std::u16string(marker.begin(), marker.end())));
        x11::WaitUntil([&] { return app.Received().ends_with(marker); }, 20s, 20ms);
        const std::string received = app.Received();
        EXPECT_TRUE(received.ends_with(marker)) << received;
        std::size_t &seen = seenUpTo[&app];
        const std::string since = received.substr(seen, received.size() - seen - marker.size());
        seen = received.size();
        return since;
    }

    TemporaryDirectory directory;
    std::unique_ptr<x11::Connection> connection;
    std::unique_ptr<x11::X11Transfer> transfer;
    std::unique_ptr<X11TestDesktop> desktop;
    Hiramod state;
    int markers = 0;
    std::map<const TargetApp *, std::size_t> seenUpTo;
};

TEST_F(X11Transfer, TerminalReceivesEveryCharacterExactly)
{
    auto word = terminal(Word);
    const std::string keymapBefore = KeymapDump();
    // xterm answers no ping: give it time enough to handle each batch even on a busy machine.
    x11::TransferLimits patient;
    patient.settleTime = 500ms;
    desktop.reset();
    transfer = x11::X11Transfer::Open(nullptr, patient);
    desktop = std::make_unique<X11TestDesktop>(*transfer);

    transferText(everyKindOfText(), Word);

    EXPECT_TRUE(desktop->boxes.empty());
    EXPECT_EQ(word->WaitToReceive(asReceived(everyKindOfText(), "\r")), asReceived(everyKindOfText(), "\r"));
    EXPECT_EQ(KeymapDump(), keymapBefore);
}

// A terminal that falls behind reads each batch with the bindings it was sent with: it is
// stopped while the first two batches go out and catches up before the third rebinds keys.
TEST_F(X11Transfer, TerminalThatFallsBehindReadsEachBatchAsSent)
{
    auto word = terminal(Word);
    const std::size_t slots =
        x11::KeymapBinder(connection->display(), x11::SpareKeyUse::HalvesTakingTurns).slotCount();
    ASSERT_GT(slots, 0u);
    // Distinct characters the keymap lacks: each batch holds exactly `slots` of them.
    std::u16string text;
    for (std::size_t i = 0; i < 2 * slots + 10; ++i)
        text += static_cast<char16_t>(u'\u4E00' + i);
    const std::string firstTwoBatches = x11::ToUtf8(text.substr(0, 2 * slots));
    std::string caughtUp;
    transfer->setBeforeBatch([&](std::size_t batch) {
        if (batch == 0)
            kill(word->pid(), SIGSTOP);
        if (batch == 2) {
            kill(word->pid(), SIGCONT);
            caughtUp = word->WaitToReceive(firstTwoBatches);
        }
    });

    transferText(text, Word);
    kill(word->pid(), SIGCONT);

    EXPECT_TRUE(desktop->boxes.empty());
    EXPECT_EQ(caughtUp, firstTwoBatches);
    EXPECT_EQ(word->WaitToReceive(x11::ToUtf8(text)), x11::ToUtf8(text));
}

TEST_F(X11Transfer, EditorReceivesEveryCharacterExactlyTwice)
{
    auto mail = editor(Mail);
    const std::string keymapBefore = KeymapDump();

    transferText(everyKindOfText(), Mail);
    transferText(everyKindOfText(), Mail);

    EXPECT_TRUE(desktop->boxes.empty());
    const std::string once = asReceived(everyKindOfText(), "\n");
    EXPECT_EQ(mail->WaitToReceive(once + once), once + once);
    EXPECT_EQ(KeymapDump(), keymapBefore);
}

// The rules themselves are the title matching's own tests; here, titles read from real windows.
// A title that differs in case is the decoy of the no-target test.
class TitleMatching : public X11Transfer, public ::testing::WithParamInterface<std::u16string> {};

TEST_P(TitleMatching, FindsATitleThatBeginsOrEndsWithTheTarget)
{
    auto app = editor(GetParam());

    ASSERT_TRUE(transfer->ActivateWindow(Word));
    EXPECT_TRUE(x11::FocusIsIn(*connection, app->window()));
}

INSTANTIATE_TEST_SUITE_P(Titles, TitleMatching,
                         ::testing::Values(u"Microsoft Word - 文書1", u"文書1 - Microsoft Word"),
                         [](const auto &info) { return info.index == 0 ? "BeginsWith" : "EndsWith"; });

TEST_F(X11Transfer, TheTopmostOfEqualTitlesWins)
{
    auto first = editor(Word);
    auto second = editor(Word);

    for (const TargetApp *raised : {first.get(), second.get(), first.get()}) {
        ASSERT_TRUE(x11::ActivateWindow(*connection, raised->window(), 5s));
        ASSERT_TRUE(transfer->ActivateWindow(Word));
        EXPECT_TRUE(x11::FocusIsIn(*connection, raised->window()));
    }
}

TEST_F(X11Transfer, NoTargetShowsOneBoxAndTheActiveWindowGetsNothing)
{
    const std::u16string decoyTitle = u"microsoft word";
    auto decoy = editor(decoyTitle);
    ASSERT_TRUE(x11::ActivateWindow(*connection, decoy->window(), 5s));

    transferText(u"あいう\r\n", Word);

    ASSERT_EQ(desktop->boxes.size(), 1u);
    EXPECT_EQ(desktop->boxes[0].prompt, NoTargetPrompt);
    EXPECT_EQ(desktop->boxes[0].buttons, 16);
    EXPECT_EQ(desktop->boxes[0].title, NoTargetBoxTitle);
    EXPECT_EQ(receivedBeforeMarker(*decoy, decoyTitle), "");
}

TEST_F(X11Transfer, FocusTakenAwayMidwayStopsTheSending)
{
    auto mail = editor(Mail);
    auto decoy = editor(Decoy);
    const std::string keymapBefore = KeymapDump();
    bool focusMoved = false;
    transfer->setBeforeBatch([&](std::size_t batch) {
        if (batch == 1)
            focusMoved = x11::ActivateWindow(*connection, decoy->window(), 5s);
    });

    transferText(everyKindOfText(), Mail);

    ASSERT_TRUE(focusMoved);
    EXPECT_EQ(desktop->boxes.size(), 1u);
    EXPECT_EQ(receivedBeforeMarker(*decoy, Decoy), "");
    const std::string whole = asReceived(everyKindOfText(), "\n");
    const std::string part = receivedBeforeMarker(*mail, Mail);
    EXPECT_FALSE(part.empty());
    EXPECT_LT(part.size(), whole.size());
    EXPECT_TRUE(whole.starts_with(part)) << part;
    EXPECT_EQ(KeymapDump(), keymapBefore);
}

TEST_F(X11Transfer, WaitsForTheUserToLetGoOfEveryKey)
{
    auto mail = editor(Mail);
    const KeyCode shift = XKeysymToKeycode(connection->display(), XK_Shift_L);
    auto pressShift = [&](bool down) {
        XTestFakeKeyEvent(connection->display(), shift, down, CurrentTime);
        XSync(connection->display(), False);
    };

    x11::TransferLimits impatient;
    impatient.keysReleased = 300ms;
    auto impatientTransfer = x11::X11Transfer::Open(nullptr, impatient);
    ASSERT_TRUE(impatientTransfer->ActivateWindow(Mail));
    pressShift(true);
    EXPECT_FALSE(impatientTransfer->SendKeystrokes(u"あa"));
    pressShift(false);
    EXPECT_EQ(receivedBeforeMarker(*mail, Mail), "");

    ASSERT_TRUE(transfer->ActivateWindow(Mail));
    pressShift(true);
    const pid_t letGo = fork();
    if (letGo == 0) {
        std::this_thread::sleep_for(200ms);
        Display *other = XOpenDisplay(nullptr);
        XTestFakeKeyEvent(other, shift, False, CurrentTime);
        XCloseDisplay(other);
        _exit(0);
    }
    EXPECT_TRUE(transfer->SendKeystrokes(u"あa"));
    waitpid(letGo, nullptr, 0);
    EXPECT_EQ(receivedBeforeMarker(*mail, Mail), "あa");
}

TEST_F(X11Transfer, CapsLockNeitherChangesTheTextNorIsLost)
{
    auto mail = editor(Mail);
    XkbLockModifiers(connection->display(), XkbUseCoreKbd, LockMask, LockMask);
    XSync(connection->display(), False);

    transferText(u"aBc1!あ", Mail);

    EXPECT_TRUE(desktop->boxes.empty());
    EXPECT_EQ(mail->WaitToReceive("aBc1!あ"), "aBc1!あ");
    XkbStateRec keyboard{};
    XkbGetState(connection->display(), XkbUseCoreKbd, &keyboard);
    EXPECT_EQ(keyboard.locked_mods & LockMask, LockMask);
    XkbLockModifiers(connection->display(), XkbUseCoreKbd, LockMask, 0);
    XSync(connection->display(), False);
}

TEST_F(X11Transfer, ReadsTitlesInCompoundText)
{
    // Like xterm: WM_NAME in COMPOUND_TEXT and no _NET_WM_NAME.
    Display *display = connection->display();
    const Window window = XCreateSimpleWindow(display, connection->root(), 0, 0, 200, 100, 0, 0, 0);
    std::string title = x11::ToUtf8(Mail);
    char *list[] = {title.data()};
    XTextProperty name{};
    ASSERT_EQ(Xutf8TextListToTextProperty(display, list, 1, XCompoundTextStyle, &name), Success);
    XSetWMName(display, window, &name);
    XFree(name.value);
    XMapWindow(display, window);
    XSync(display, False);

    const bool listed = x11::WaitUntil([&] {
        const auto windows = x11::TopLevelWindows(*connection);
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    }, 10s);

    ASSERT_TRUE(listed);
    auto finder = x11::Connection::Open(nullptr);
    EXPECT_EQ(x11::FindWindowByTitle(*finder, x11::ToUtf8(Mail), {}), window);
    XDestroyWindow(display, window);
    XSync(display, False);
}

} // namespace
