// A stand-in for the program that a transfer types into: one window, titled as told, holding a
// multi-line EDIT. On closing, it writes the EDIT's text to the output file as the EDIT stores
// it: UTF-16, line breaks as CR LF.
// Usage: hiragana_win32_target <title> <output file>

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

namespace {

constexpr wchar_t ClassName[] = L"HiraganaTestTarget";

HWND editControl = nullptr;
std::wstring outputPath;

std::wstring textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool save(const std::wstring &text)
{
    HANDLE file = CreateFileW(outputPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), size, &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        editControl = CreateWindowExW(0, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                      0, 0, 0, 0, window, nullptr, nullptr, nullptr);
        SendMessageW(editControl, EM_SETLIMITTEXT, 0, 0); // no limit short of memory
        return editControl ? 0 : -1;
    case WM_SIZE:
        MoveWindow(editControl, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(editControl);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(save(textOf(editControl)) ? 0 : 1);
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int argc = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
    if (!argv || argc != 3)
        return 2;
    const std::wstring title = argv.get()[1];
    outputPath = argv.get()[2];

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassW(&windowClass))
        return 3;
    HWND window = CreateWindowExW(0, ClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                                  320, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 3;
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
