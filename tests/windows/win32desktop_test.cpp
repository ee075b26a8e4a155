#include "hiramod.h"
#include "keytable.h"
#include "targetprogram.h"
#include "transfertext.h"
#include "utf8.h"
#include "win32desktop.h"

#include <gtest/gtest.h>

#include <thread>

using namespace hiragana;
using namespace hiragana::testing;
using hiragana::win32::Win32Desktop;

namespace {

const std::u16string Word = u"Microsoft Word";
const std::u16string Mail = u"メールを\u3000書く";
const std::u16string Notepad = u"メモ帳";

// What every key writes, a line break and an ideographic space: the keyboard's whole repertoire.
std::u16string everyKeysText()
{
    std::u16string text;
    for (const KeyRecord &key : KeyTable)
        text += key.produces;
    return text + u"\r\n\u3000おわり";
}

// The real desktop, except that the box is recorded instead of shown: a failing test must not
// wait for someone to close it.
class DesktopWithoutBox final : public Desktop {
public:
    bool ActivateWindow(const std::u16string &title) override { return activated = real.ActivateWindow(title); }
    void ProcessPendingEvents() override { real.ProcessPendingEvents(); }
    bool SendKeystrokes(const std::u16string &text) override { return sent = real.SendKeystrokes(text); }
    void ShowMessageBox(const std::u16string &prompt, int, const std::u16string &) override { boxes.push_back(prompt); }

    Win32Desktop real;
    bool activated = false;
    bool sent = false;
    std::vector<std::u16string> boxes;
};

// What the target and a window in front of it got from a transfer.
struct Received {
    std::optional<std::u16string> target;
    std::optional<std::u16string> decoy;
};

std::optional<std::u16string> closeWithMarker(TargetProgram &program)
{
    return TypeMarkerInto(program) ? program.closeAndReadText() : std::nullopt;
}

std::u16string withMarker(std::u16string text) { return text + Marker; }

struct TitleCase {
    const char *name;
    std::u16string windowTitle;
    std::u16string targetTitle;
};

class TransferIntoTarget : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TransferIntoTarget, TypesExactlyTheTextAndNothingElsewhere)
{
    TargetProgram target(GetParam().windowTitle);
    TargetProgram decoy(Notepad);
    ASSERT_TRUE(target.window() && decoy.window());
    ASSERT_TRUE(MakeForeground(decoy.window()));
    Hiramod state;
    state.TargetTitle = GetParam().targetTitle;
    state.CommittedText = everyKeysText();
    DesktopWithoutBox desktop;

    TransferText(state, desktop);

    EXPECT_TRUE(desktop.activated);
    EXPECT_TRUE(desktop.sent);
    EXPECT_TRUE(desktop.boxes.empty());
    EXPECT_EQ(closeWithMarker(target), withMarker(state.CommittedText));
    EXPECT_EQ(closeWithMarker(decoy), withMarker(u""));
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TransferIntoTarget,
    ::testing::Values(TitleCase{"Word", Word, Word}, TitleCase{"Mail", Mail, Mail},
                      TitleCase{"TitleBeginsWithIt", Word + u" - 文書1", Word},
                      TitleCase{"TitleEndsWithIt", u"下書き - " + Mail, Mail}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Win32Desktop, TypesEveryLineBreakAsReturnAndPairsWhole)
{
    TargetProgram target(Word);
    ASSERT_TRUE(target.window());
    Win32Desktop desktop;

    ASSERT_TRUE(desktop.ActivateWindow(Word));
    EXPECT_TRUE(desktop.SendKeystrokes(u"あ\nい\rう\r\n𠮷\xD842え"));

    EXPECT_EQ(closeWithMarker(target), withMarker(u"あ\r\nい\r\nう\r\n𠮷\uFFFDえ"));
}

TEST(Win32Desktop, StopsWhenTheTargetLosesTheForeground)
{
    TargetProgram target(Word);
    TargetProgram decoy(Notepad);
    ASSERT_TRUE(target.window() && decoy.window());
    Win32Desktop desktop({.charactersPerBatch = 2});
    desktop.setBeforeBatch([&](std::size_t batch) {
        if (batch == 1)
            MakeForeground(decoy.window());
    });

    ASSERT_TRUE(desktop.ActivateWindow(Word));
    EXPECT_FALSE(desktop.SendKeystrokes(u"がっこう"));

    // Keys of the first batch that the target had not taken yet when it lost the foreground
    // may be lost; none of the later ones is sent.
    const auto received = closeWithMarker(target);
    ASSERT_TRUE(received && received->ends_with(Marker));
    EXPECT_TRUE(std::u16string_view(u"がっ").starts_with(received->substr(0, received->size() - 1))) << utf8(*received);
    EXPECT_EQ(closeWithMarker(decoy), withMarker(u""));
}

TEST(Win32Desktop, NeverTargetsItsOwnWindows)
{
    HWND own = CreateWindowExW(0, L"STATIC", L"Microsoft Word", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(own);
    Win32Desktop desktop;

    EXPECT_FALSE(desktop.ActivateWindow(Word));
    EXPECT_FALSE(desktop.SendKeystrokes(u"あ"));

    DestroyWindow(own);
}

TEST(Win32Desktop, PendingEventsRun)
{
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // this thread's queue, for sure
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0));
    Win32Desktop desktop;

    desktop.ProcessPendingEvents();

    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

TEST(Win32Desktop, PendingEventsLeaveTheQuitToTheProgramsLoop)
{
    PostQuitMessage(3);
    Win32Desktop desktop;

    desktop.ProcessPendingEvents();

    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
}

struct SeenBox {
    std::u16string title;
    std::u16string prompt;
};

// Closes the first message box of a thread, from a thread of its own, and tells what it said.
class BoxCloser {
public:
    explicit BoxCloser(DWORD thread)
        : m_worker([this, thread] { closeBoxOf(thread); })
    {
    }
    ~BoxCloser() { seen(); }

    // Waits until the box was closed, or looked for in vain.
    SeenBox seen()
    {
        if (m_worker.joinable())
            m_worker.join();
        return m_seen;
    }

private:
    static BOOL CALLBACK findBox(HWND window, LPARAM found)
    {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring(className) != L"#32770") // the dialog class that message boxes use
            return TRUE;
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }

    static std::u16string textOf(HWND window)
    {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return {text, text + wcslen(text)};
    }

    void closeBoxOf(DWORD thread)
    {
        HWND box = nullptr;
        if (!WaitFor([&] { return !EnumThreadWindows(thread, findBox, reinterpret_cast<LPARAM>(&box)) && box; }))
            return;
        m_seen = {textOf(box), textOf(GetDlgItem(box, 0xFFFF))}; // 0xFFFF: the box's text
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }

    SeenBox m_seen;
    std::thread m_worker;
};

TEST(Win32Desktop, WithoutTargetShowsTheBoxAndTypesNothing)
{
    TargetProgram decoy(Notepad);
    ASSERT_TRUE(decoy.window());
    ASSERT_TRUE(MakeForeground(decoy.window()));
    Hiramod state;
    state.TargetTitle = Word;
    state.CommittedText = u"がっこう";
    Win32Desktop desktop;
    BoxCloser closer(GetCurrentThreadId());

    TransferText(state, desktop); // returns once the box is closed

    const SeenBox box = closer.seen();
    EXPECT_EQ(box.title, NoTargetBoxTitle);
    EXPECT_EQ(box.prompt, NoTargetPrompt);
    EXPECT_EQ(closeWithMarker(decoy), withMarker(u""));
}

} // namespace
