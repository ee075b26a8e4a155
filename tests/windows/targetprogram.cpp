#include "targetprogram.h"

#include <algorithm>
#include <vector>

namespace hiragana::testing {

namespace {
constexpr wchar_t TargetClassName[] = L"HiraganaTestTarget";

std::wstring besideThisProgram(const std::wstring &fileName)
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + fileName;
}

std::wstring newTemporaryFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t file[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"hks", 0, file);
    return file;
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findTargetWindow(HWND window, LPARAM lParam)
{
    auto *search = reinterpret_cast<Search *>(lParam);
    wchar_t className[64] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, className, 64);
    if (process == search->process && std::wstring(className) == TargetClassName && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::optional<std::u16string> readUtf16File(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::vector<char16_t> units(GetFileSize(file, nullptr) / sizeof(char16_t));
    DWORD read = 0;
    const DWORD size = static_cast<DWORD>(units.size() * sizeof(char16_t));
    const bool ok = ReadFile(file, units.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    return std::u16string(units.begin(), units.end());
}

// WM_GETTEXT works across processes: Windows copies the text over.
std::u16string textOf(HWND edit)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return {};
    return {text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min<DWORD_PTR>(copied, length))};
}
} // namespace

TargetProgram::TargetProgram(const std::u16string &title)
    : m_outputPath(newTemporaryFile())
{
    const std::wstring program = besideThisProgram(L"hiragana_win32_target.exe");
    std::wstring commandLine = L"\"" + program + L"\" \"" + std::wstring(title.begin(), title.end()) + L"\" \""
        + m_outputPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &m_process))
        return;
    WaitForInputIdle(m_process.hProcess, 10000);
    Search search{m_process.dwProcessId, nullptr};
    WaitFor([&] {
        EnumWindows(findTargetWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    m_window = search.found;
    if (!m_window)
        return;
    m_edit = FindWindowExW(m_window, nullptr, L"EDIT", nullptr);
    // The window manager gives a new window the focus when it gets round to it: done with that
    // before a test moves the focus elsewhere.
    MakeForeground(m_window);
}

TargetProgram::~TargetProgram()
{
    if (m_process.hProcess) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            PostMessageW(m_window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(m_process.hProcess, 5000) == WAIT_TIMEOUT)
                TerminateProcess(m_process.hProcess, 1);
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    DeleteFileW(m_outputPath.c_str());
}

std::optional<std::u16string> TargetProgram::closeAndReadText()
{
    if (!m_window)
        return std::nullopt;
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    if (WaitForSingleObject(m_process.hProcess, 10000) != WAIT_OBJECT_0 || !GetExitCodeProcess(m_process.hProcess, &exitCode)
        || exitCode != 0)
        return std::nullopt;
    return readUtf16File(m_outputPath);
}

bool MakeForeground(HWND window)
{
    int polls = 0;
    return WaitFor([&] {
        if (polls++ % 25 == 0)
            SetForegroundWindow(window);
        return GetForegroundWindow() == window;
    });
}

bool TypeMarkerInto(const TargetProgram &target)
{
    INPUT inputs[2] = {};
    for (INPUT &input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = Marker;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    return MakeForeground(target.window()) && SendInput(2, inputs, sizeof(INPUT)) == 2
        && WaitFor([&] { return textOf(target.edit()).ends_with(Marker); });
}

} // namespace hiragana::testing
