// The Win32 transfer under wine, typing into stand-in targets (hiragana_win32_target, beside this
// program) and into nothing else.
#include "hiramod.h"
#include "keytable.h"
#include "transfertext.h"
#include "win32/win32desktop.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

using namespace hiragana;
using hiragana::win32::Win32Desktop;

namespace {

const std::u16string Word(MicrosoftWordTitle);
const std::u16string Mail(MailWriterTitle);
const std::u16string Notepad = u"メモ帳";

template<typename Condition>
bool waitFor(Condition &&condition) // 30 s at most, for a busy machine
{
    for (int i = 0; i < 3000 && !condition(); ++i)
        Sleep(10);
    return condition();
}

bool makeForeground(HWND window)
{
    int polls = 0;
    return window && waitFor([&] {
        if (polls++ % 25 == 0)
            SetForegroundWindow(window);
        return GetForegroundWindow() == window;
    });
}

// A stand-in target in a process of its own, the only window of its class with its title.
class Target {
public:
    explicit Target(const std::u16string &title)
    {
        std::wstring program(MAX_PATH, L'\0');
        program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
        program = program.substr(0, program.find_last_of(L'\\') + 1) + L"hiragana_win32_target.exe";
        const std::wstring wideTitle(title.begin(), title.end());
        std::wstring commandLine = L"\"" + program + L"\" \"" + wideTitle + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            return;
        WaitForInputIdle(m_process.hProcess, 10000);
        waitFor([&] { return (window = FindWindowW(L"HiraganaTestTarget", wideTitle.c_str())) != nullptr; });
        // The window manager gives a new window the focus when it gets round to it: done with
        // that before a test moves the focus elsewhere.
        makeForeground(window);
    }
    ~Target()
    {
        if (window)
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (m_process.hProcess && WaitForSingleObject(m_process.hProcess, 5000) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

    // What the EDIT holds once a marker typed now has arrived after whatever was typed before.
    std::u16string received() const
    {
        constexpr wchar_t marker = L'¶';
        INPUT keys[2] = {};
        for (INPUT &key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = marker;
            key.ki.dwFlags = KEYEVENTF_UNICODE | (&key == &keys[1] ? KEYEVENTF_KEYUP : 0);
        }
        HWND edit = FindWindowExW(window, nullptr, L"EDIT", nullptr);
        std::wstring text;
        const bool marked = makeForeground(window) && SendInput(2, keys, sizeof(INPUT)) == 2 && waitFor([&] {
            text.assign(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0'); // copied across processes
            text.resize(SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
            return text.ends_with(marker);
        });
        return marked ? std::u16string(text.begin(), text.end() - 1) : u"(no marker)";
    }

    HWND window = nullptr;

private:
    PROCESS_INFORMATION m_process{};
};

struct TitleCase {
    const char *name;
    std::u16string windowTitle, targetTitle;
};

class TransferInto : public ::testing::TestWithParam<TitleCase> {};

// Every key's string, each kind of line break as one Return, a pair whole and a lone half as
// U+FFFD; nothing into the window in front.
TEST_P(TransferInto, TypesExactlyTheTextAndNothingElsewhere)
{
    Target target(GetParam().windowTitle);
    Target decoy(Notepad);
    ASSERT_TRUE(target.window && makeForeground(decoy.window));
    std::u16string text;
    for (const KeyRecord &key : KeyTable)
        text += key.produces;
    Win32Desktop desktop;

    ASSERT_TRUE(desktop.ActivateWindow(GetParam().targetTitle));
    EXPECT_TRUE(desktop.SendKeystrokes(text + u"\r\nい\rう\n𠮷\xD842え"));

    EXPECT_EQ(target.received(), text + u"\r\nい\r\nう\r\n𠮷\uFFFDえ");
    EXPECT_EQ(decoy.received(), u"");
}

INSTANTIATE_TEST_SUITE_P(Titles, TransferInto,
                         ::testing::Values(TitleCase{"Word", Word, Word}, TitleCase{"Mail", Mail, Mail},
                                           TitleCase{"TitleBeginsWithIt", Word + u" - 文書1", Word},
                                           TitleCase{"TitleEndsWithIt", u"下書き - " + Mail, Mail}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Win32Desktop, StopsWhenTheTargetLosesTheForeground)
{
    Target target(Word);
    Target decoy(Notepad);
    ASSERT_TRUE(target.window && decoy.window);
    Win32Desktop desktop({.charactersPerBatch = 2});
    desktop.setBeforeBatch([&](std::size_t batch) {
        if (batch == 1)
            makeForeground(decoy.window);
    });

    ASSERT_TRUE(desktop.ActivateWindow(Word));
    EXPECT_FALSE(desktop.SendKeystrokes(u"がっこう"));

    // Under wine, keys still queued when the foreground moves may be lost; no later ones are sent.
    EXPECT_TRUE(std::u16string_view(u"がっ").starts_with(target.received()));
    EXPECT_EQ(decoy.received(), u"");
}

// Closes the message box of a thread from a thread of its own, noting its title and text.
std::u16string closeBoxOf(DWORD thread)
{
    HWND box = nullptr;
    waitFor([&] {
        EnumThreadWindows(thread, [](HWND window, LPARAM found) -> BOOL {
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            if (std::wstring(className) != L"#32770") // the dialog class of message boxes
                return TRUE;
            *reinterpret_cast<HWND *>(found) = window;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&box));
        return box != nullptr;
    });
    wchar_t title[64] = {}, text[256] = {};
    GetWindowTextW(box, title, 64);
    GetDlgItemTextW(box, 0xFFFF, text, 256); // the box's text
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return std::u16string(title, title + wcslen(title)) + u"|" + std::u16string(text, text + wcslen(text));
}

// Without a target (its own windows are none, whatever their title) the program gets its box,
// and the window in front nothing. The pending events run, but the quit is left to its loop.
TEST(Win32Desktop, WithoutTargetShowsTheBoxAndTypesNothing)
{
    Target decoy(Notepad);
    HWND own = CreateWindowExW(0, L"STATIC", L"Microsoft Word", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(own && makeForeground(decoy.window));
    Hiramod state;
    state.TargetTitle = Word;
    state.CommittedText = u"がっこう";
    Win32Desktop desktop;
    MSG message;
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    desktop.ProcessPendingEvents();
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
    PostQuitMessage(3);
    desktop.ProcessPendingEvents();
    EXPECT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message == WM_QUIT && message.wParam == 3);
    std::u16string box;
    std::thread closer([&, thread = GetCurrentThreadId()] { box = closeBoxOf(thread); });

    TransferText(state, desktop); // returns once the box is closed

    closer.join();
    EXPECT_EQ(box, std::u16string(NoTargetBoxTitle) + u"|" + std::u16string(NoTargetPrompt));
    EXPECT_EQ(decoy.received(), u"");
    DestroyWindow(own);
}

} // namespace
