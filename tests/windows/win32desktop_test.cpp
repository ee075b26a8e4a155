// The Win32 transfer under wine, typing into Notepad and into nothing else.
#include "hiramod.h"
#include "keytable.h"
#include "transfertext.h"
#include "win32/win32desktop.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <thread>

using namespace hiragana;
using hiragana::win32::Win32Desktop;

namespace {

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

// Notepad with an empty file of this name, in a process of its own: a target whose title begins
// with the name.
class Target {
public:
    explicit Target(const std::u16string &name)
        : m_file(std::filesystem::temp_directory_path() / std::filesystem::path(name))
    {
        CloseHandle(CreateFileW(m_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::wstring commandLine = L"notepad.exe \"" + m_file.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_process))
            return;
        WaitForInputIdle(m_process.hProcess, 10000);
        waitFor([&] { return (window = windowOf(m_process.dwProcessId)) != nullptr; });
        // The window manager gives a new window the focus when it gets round to it: done with
        // that before a test moves the focus elsewhere.
        makeForeground(window);
    }
    ~Target()
    {
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 5000);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
        DeleteFileW(m_file.c_str());
    }

    // What the EDIT holds once a marker typed now has arrived after whatever was typed before;
    // it is emptied for what comes next.
    std::u16string takeReceived()
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
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        return marked ? std::u16string(text.begin(), text.end() - 1) : u"(no marker)";
    }

    HWND window = nullptr;

private:
    static HWND windowOf(DWORD process)
    {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"Notepad", nullptr))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process)
                return window;
        }
        return nullptr;
    }

    std::filesystem::path m_file;
    PROCESS_INFORMATION m_process{};
};

// Every key's string, each kind of line break as one Return, a pair whole and a lone half as
// U+FFFD, into the window whose title begins with the one asked for; nothing into the window in
// front, and nothing more once the target has lost the foreground.
TEST(Win32Desktop, TypesIntoTheTargetOnlyWhileItHoldsTheForeground)
{
    const std::u16string mail(MailWriterTitle);
    Target target(mail + u" - 下書き");
    Target decoy(u"メモ帳");
    ASSERT_TRUE(target.window && makeForeground(decoy.window));
    std::u16string text;
    for (const KeyRecord &key : KeyTable)
        text += key.produces;
    Win32Desktop desktop({.charactersPerBatch = 2});

    ASSERT_TRUE(desktop.ActivateWindow(mail));
    EXPECT_TRUE(desktop.SendKeystrokes(text + u"\r\nい\rう\n𠮷\xD842え"));
    EXPECT_EQ(target.takeReceived(), text + u"\r\nい\r\nう\r\n𠮷\uFFFDえ");

    desktop.setBeforeBatch([&](std::size_t batch) {
        if (batch == 1)
            makeForeground(decoy.window);
    });
    ASSERT_TRUE(desktop.ActivateWindow(mail));
    EXPECT_FALSE(desktop.SendKeystrokes(u"がっこう"));
    // Under wine, keys still queued when the foreground moves may be lost; no later ones are sent.
    EXPECT_TRUE(std::u16string_view(u"がっ").starts_with(target.takeReceived()));
    EXPECT_EQ(decoy.takeReceived(), u"");
}

// Closes the message box of a thread, once it shows, from a thread of its own; returns its title
// and text.
std::u16string closeBoxOf(DWORD thread)
{
    HWND box = nullptr;
    waitFor([&] {
        box = FindWindowW(L"#32770", nullptr); // the dialog class of message boxes
        return box && GetWindowThreadProcessId(box, nullptr) == thread;
    });
    wchar_t title[64] = {}, text[256] = {};
    GetWindowTextW(box, title, 64);
    GetDlgItemTextW(box, 0xFFFF, text, 256); // the box's text
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return std::u16string(title, title + wcslen(title)) + u"|" + std::u16string(text, text + wcslen(text));
}

// Without a target (its own windows are none, whatever their title) the program gets its box.
// The pending events run, but the quit is left to its loop.
TEST(Win32Desktop, WithoutTargetShowsTheBox)
{
    HWND own = CreateWindowExW(0, L"STATIC", L"Microsoft Word", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(own);
    Hiramod state;
    state.TargetTitle = MicrosoftWordTitle;
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
    DestroyWindow(own);
}

} // namespace
