// The Wayland transfer into real windows on a headless sway of its own (scripts/with-sway):
// foot and our Qt editor speaking Wayland, an xterm through XWayland.

// Before Xlib (through the target programs' helpers), whose macros would clash with it.
#include <gtest/gtest.h>

#include "hiramod.h"
#include "targetapps.h"
#include "testtexts.h"
#include "transfertext.h"
#include "unicode.h"
#include "x11/waiting.h"
#include "wayland/toplevellist.h"
#include "wayland/waylanddesktop.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>

using namespace hiragana;
using namespace hiragana::testing;
using namespace std::chrono_literals;

namespace {

const std::u16string Word(MicrosoftWordTitle);
const std::u16string Decoy = u"Notes";
const std::string OwnAppId = "hiragana-under-test";

class TestDesktop final : public wayland::WaylandDesktop {
public:
    TestDesktop() : WaylandDesktop({OwnAppId}) {}
    void ProcessPendingEvents() override {}
    void ShowMessageBox(const std::u16string &, int, const std::u16string &) override { ++boxes; }
    int boxes = 0;
};

enum class Program { Foot, QtEditor, XWaylandTerminal, OwnWindow };

class WaylandTransfer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(desktop->usable()) << "no compositor with both globals"; }

    // The program's window titled title, once it is listed and the program reads its keys.
    std::unique_ptr<TargetApp> start(Program program, const std::u16string &title)
    {
        const std::string name = ToUtf8(title);
        const std::vector<std::string> foot{"foot", "--title", name, "--app-id",
                                            program == Program::Foot ? "foot" : OwnAppId};
        auto app = program == Program::QtEditor     ? StartEditor(name, directory.path(), "wayland")
            : program == Program::XWaylandTerminal ? StartTerminal(name, directory.path())
                                                   : StartInTerminal(foot, directory.path());
        auto compositor = wayland::Compositor::Connect();
        const bool ready = x11::WaitUntil([&] {
            wayland::ToplevelList windows(*compositor);
            return compositor->Roundtrip(1s) && windows.FindByTitle(name, {}) && app->HasStarted();
        }, 20s, 50ms);
        EXPECT_TRUE(ready) << name << " did not come up";
        // Qt on Wayland drops the keys of the first moments after its window shows.
        std::this_thread::sleep_for(300ms);
        return app;
    }

    void transferText(const std::u16string &text, const std::u16string &title)
    {
        state.CommittedText = text;
        state.TargetTitle = title;
        TransferText(state, *desktop);
    }

    TemporaryDirectory directory;
    // Made before the targets start: a seat without a keyboard before would have them miss keys.
    std::unique_ptr<TestDesktop> desktop = std::make_unique<TestDesktop>();
    Hiramod state;
};

struct Target {
    Program program;
    const char *lineBreak;
    const char *name;
};

class EachKindOfWindow : public WaylandTransfer, public ::testing::WithParamInterface<Target> {};

// Each kind of window as a busy program, reading nothing while the first batches go out. A
// Wayland program comes back after a while: its keys must not have piled up beyond what the
// compositor holds for it, or it is disconnected. An X11 program through XWayland comes back only
// at the end, and reads the keymap only as it reads the keys: it must still find each batch's
// keys bound as they were sent.
TEST_P(EachKindOfWindow, ReceivesEveryCharacterExactlyAfterFallingBehind)
{
    auto word = start(GetParam().program, Word);
    std::u16string text;
    while (text.size() < 5000)
        text += EveryKindOfText();
    std::jthread resume;
    desktop->setBeforeBatch([&](std::size_t batch) {
        if (batch == 0 && kill(word->pid(), SIGSTOP) == 0 && GetParam().program != Program::XWaylandTerminal)
            resume = std::jthread([&] {
                std::this_thread::sleep_for(300ms);
                kill(word->pid(), SIGCONT);
            });
    });

    transferText(text, Word);
    kill(word->pid(), SIGCONT);

    EXPECT_EQ(desktop->boxes, 0);
    const std::string expected = AsReceived(text, GetParam().lineBreak);
    EXPECT_EQ(word->WaitToReceive(expected), expected);
    EXPECT_EQ(waitpid(word->pid(), nullptr, WNOHANG), 0) << "the program has gone";
}

INSTANTIATE_TEST_SUITE_P(Programs, EachKindOfWindow,
                         ::testing::Values(Target{Program::Foot, "\r", "Foot"},
                                           Target{Program::QtEditor, "\n", "QtEditor"},
                                           Target{Program::XWaylandTerminal, "\r", "XWaylandTerminal"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(WaylandTransfer, FocusTakenAwayMidwayStopsTheSending)
{
    auto word = start(Program::Foot, Word);
    auto decoy = start(Program::Foot, Decoy);
    bool focusMoved = false;
    desktop->setBeforeBatch([&](std::size_t batch) {
        if (batch == 1)
            focusMoved = std::system("swaymsg -q '[title=\"^Notes$\"] focus'") == 0;
    });

    transferText(EveryKindOfText(), Word);

    ASSERT_TRUE(focusMoved);
    EXPECT_EQ(desktop->boxes, 1);
    EXPECT_EQ(ReceivedBeforeMarker(*desktop, *decoy, Decoy), "");
    const std::string whole = AsReceived(EveryKindOfText(), "\r");
    const std::string part = ReceivedBeforeMarker(*desktop, *word, Word);
    EXPECT_FALSE(part.empty());
    EXPECT_LT(part.size(), whole.size());
    EXPECT_TRUE(whole.starts_with(part)) << part;
}

// Nor is the keyboard's own window a target, whatever its title.
TEST_F(WaylandTransfer, NoTargetShowsTheBoxAndNothingIsTyped)
{
    auto own = start(Program::OwnWindow, Word);
    auto decoy = start(Program::Foot, Decoy);

    transferText(u"あいう\r\n", Word);

    EXPECT_EQ(desktop->boxes, 1);
    EXPECT_EQ(ReceivedBeforeMarker(*desktop, *decoy, Decoy), "");
    EXPECT_EQ(own->Received(), "");
}

} // namespace
