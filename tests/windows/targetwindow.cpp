// A stand-in for the program that a transfer types into: one window, titled with the rest of its
// command line, holding a multi-line EDIT, until the test ends it. A GUI program: under wine,
// windows of a console program lose the foreground to the window manager's late doings.
#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static HWND edit = nullptr;
    switch (message) {
    case WM_CREATE:
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                               0, 0, 460, 280, window, nullptr, nullptr, nullptr);
        return edit ? 0 : -1;
    case WM_SETFOCUS:
        SetFocus(edit);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR title, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"HiraganaTestTarget";
    HWND window = RegisterClassW(&windowClass)
        ? CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                          320, nullptr, nullptr, instance, nullptr)
        : nullptr;
    if (!window)
        return 2;
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
