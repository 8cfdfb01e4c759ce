// The yardsticks for tallymark.exe's start-up: the smallest Win32 program that shows a window
// of the panel's size, built and linked as the panel is; with "label" the same window showing
// one line of Japanese text, which makes the system load its fonts as every window with
// text must.

#include <windows.h>

#include "ShownWindow.h"

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    const bool label = lstrcmpA(commandLine, "label") == 0;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassExW(&windowClass);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 521, 384};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, label ? L"bare window label" : L"bare window", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (label) {
        HWND text = CreateWindowExW(0, L"STATIC", L"カウントダウンＬＥＤ表示器", WS_CHILD | WS_VISIBLE, 16, 16, 489, 33,
                                    window, nullptr, instance, nullptr);
        LOGFONTW font{};
        font.lfHeight = -16;
        font.lfCharSet = SHIFTJIS_CHARSET;
        lstrcpyW(font.lfFaceName, L"ＭＳ ゴシック");
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontIndirectW(&font)), FALSE);
    }
    return tallymark::bench::ShowAndRun(window, showCommand);
}
