// The X11 transfer into real windows on the X server that $DISPLAY names, with a window manager
// or without one: an xterm, which answers no ping and reads each key's binding only when it gets
// round to it, and our Qt editor.

// Before Xlib, whose macros (None, Bool …) would clash with it.
#include <gtest/gtest.h>

#include "targetapps.h"
#include "testtexts.h"
#include "transfertext.h"
#include "unicode.h"
#include "x11/activation.h"
#include "x11/keymap.h"
#include "x11/waiting.h"
#include "x11/windowfinder.h"
#include "x11/x11desktop.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <csignal>

using namespace hiragana;
using namespace hiragana::testing;
using namespace std::chrono_literals;

namespace {

const std::u16string Word(MicrosoftWordTitle);
const std::u16string Mail(MailWriterTitle);

struct TestDesktop final : x11::X11Desktop {
    explicit TestDesktop(const x11::X11Limits &limits = {}) : X11Desktop({}, limits) {}
    void ProcessPendingEvents() override {}
    void ShowMessageBox(const std::u16string &, int, const std::u16string &) override {}
};

class X11Transfer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(connection) << "cannot open the display " << XDisplayName(nullptr); }

    std::unique_ptr<TargetApp> ready(std::unique_ptr<TargetApp> app)
    {
        EXPECT_TRUE(app->WaitUntilReady(*connection)) << "the target application did not come up";
        return app;
    }
    std::unique_ptr<TargetApp> editor(const std::u16string &title)
    {
        return ready(StartEditor(ToUtf8(title), directory.path()));
    }
    // Ends app and waits until its window is gone from the top-level windows.
    void close(std::unique_ptr<TargetApp> &app)
    {
        const Window window = app->window();
        app.reset();
        const auto gone = [&] { return std::ranges::count(x11::TopLevelWindows(*connection), window) == 0; };
        EXPECT_TRUE(x11::WaitUntil(gone, 10s));
    }
    std::size_t slots(x11::SpareKeyUse use) { return x11::KeymapBinder(connection->display(), use).slotCount(); }
    void press(KeySym key, bool down)
    {
        XTestFakeKeyEvent(connection->display(), XKeysymToKeycode(connection->display(), key), down, CurrentTime);
        XSync(connection->display(), False);
    }

    TemporaryDirectory directory;
    std::unique_ptr<x11::Connection> connection = x11::Connection::Open(nullptr);
};

// The xterm's Japanese title is in COMPOUND_TEXT, without _NET_WM_NAME. It is stopped while the
// first two batches go out and catches up only before the third binds keys again: it must still
// read each batch with the bindings it was sent with. Caps Lock is on, and stays on.
TEST_F(X11Transfer, TerminalThatAnswersNoPingGetsEveryCharacterExactly)
{
    auto terminal = ready(StartTerminal(ToUtf8(Mail), directory.path()));
    const std::string keymapBefore = KeymapDump();
    const std::size_t perBatch = slots(x11::SpareKeyUse::HalvesTakingTurns);
    ASSERT_GT(perBatch, 0u);
    const std::u16string text = DistinctCharacters(2 * perBatch + 1) + EveryKindOfText();
    const std::string typed = AsReceived(text, "\r");
    const std::string firstTwoBatches = ToUtf8(text.substr(0, 2 * perBatch));
    // A busy machine may leave xterm without time to read a batch for a while.
    TestDesktop transfer({.settleTime = 500ms});
    std::string caughtUp;
    transfer.setBeforeBatch([&](std::size_t batch) {
        if (batch == 0)
            kill(terminal->pid(), SIGSTOP);
        if (batch == 2) {
            kill(terminal->pid(), SIGCONT);
            caughtUp = terminal->WaitToReceive(firstTwoBatches);
        }
    });
    XkbLockModifiers(connection->display(), XkbUseCoreKbd, LockMask, LockMask);
    XSync(connection->display(), False);

    ASSERT_TRUE(transfer.ActivateWindow(Mail));
    EXPECT_TRUE(transfer.SendKeystrokes(text));

    kill(terminal->pid(), SIGCONT);
    EXPECT_EQ(caughtUp, firstTwoBatches);
    EXPECT_EQ(terminal->WaitToReceive(typed), typed);
    EXPECT_EQ(KeymapDump(), keymapBefore);
    XkbStateRec keyboard{};
    XkbGetState(connection->display(), XkbUseCoreKbd, &keyboard);
    EXPECT_EQ(keyboard.locked_mods & LockMask, LockMask);
    XkbLockModifiers(connection->display(), XkbUseCoreKbd, LockMask, 0);
    XSync(connection->display(), False);
}

// Stacked bottom to top as started; each time the best match goes, the next one takes over.
// Titles that hold the target in the middle or differ in case never match.
TEST_F(X11Transfer, TitlesMatchExactlyThenByPrefixThenBySuffixTopmostFirst)
{
    std::vector<std::unique_ptr<TargetApp>> windows;
    for (const std::u16string &title : {u"文書1 - " + Word, Word + u" - 文書1", Word + u" - 文書2", Word, Word,
                                        u"文書3 - " + Word + u" (読み取り専用)", std::u16string(u"microsoft word")})
        windows.push_back(editor(title));
    TestDesktop transfer;

    for (const std::size_t best : {4, 3, 2, 1, 0}) {
        ASSERT_TRUE(transfer.ActivateWindow(Word));
        EXPECT_TRUE(x11::FocusIsIn(*connection, windows[best]->window())) << "not window " << best;
        close(windows[best]);
    }
    EXPECT_FALSE(transfer.ActivateWindow(Word));
}

// Nothing goes to another window: not without a target, not while the user holds a key, not
// once the focus has moved away midway. The keymap is restored all the same.
TEST_F(X11Transfer, NothingIsTypedAnywhereButIntoTheTarget)
{
    auto mail = editor(Mail);
    auto decoy = editor(u"microsoft word");
    const std::string keymapBefore = KeymapDump();
    ASSERT_TRUE(x11::ActivateWindow(*connection, decoy->window(), 5s));
    TestDesktop transfer({.keysReleased = 300ms});
    EXPECT_FALSE(transfer.ActivateWindow(Word));
    EXPECT_FALSE(transfer.SendKeystrokes(u"あa"));

    ASSERT_TRUE(transfer.ActivateWindow(Mail));
    press(XK_Shift_L, true);
    EXPECT_FALSE(transfer.SendKeystrokes(u"あa"));
    press(XK_Shift_L, false);
    const std::u16string characters = DistinctCharacters(3 * slots(x11::SpareKeyUse::AllForEachBatch));
    const std::string text = ToUtf8(characters);
    bool focusMoved = false;
    transfer.setBeforeBatch([&](std::size_t batch) {
        if (batch == 1)
            focusMoved = x11::ActivateWindow(*connection, decoy->window(), 5s);
    });
    EXPECT_FALSE(transfer.SendKeystrokes(characters));
    ASSERT_TRUE(focusMoved);

    EXPECT_EQ(ReceivedBeforeMarker(transfer, *decoy, u"microsoft word"), "");
    const std::string part = ReceivedBeforeMarker(transfer, *mail, Mail);
    EXPECT_TRUE(!part.empty() && part.size() < text.size() && text.starts_with(part)) << part;
    EXPECT_EQ(KeymapDump(), keymapBefore);
}

} // namespace
