#pragma once
// What the yardstick windows do alike once made: show the window and run until it closes.

#include <windows.h>

namespace tallymark::bench {

// Shows the window, paints it and dispatches its messages until WM_QUIT; the exit code.
inline int ShowAndRun(HWND window, int showCommand)
{
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace tallymark::bench
