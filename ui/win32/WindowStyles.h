#pragma once
// What the window procedure and the layout agree on: the window's style, its icon, and the
// ids of its controls and its timer.

#include <windows.h>

#include <cstddef>

#include "ui/Controls.h"

namespace tallymark {

// A fixed window: a title, the system menu, minimize and close.
inline constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD FormExStyle = 0;

// The icon of ui/icon/tallymark.rc, named there.
inline const wchar_t* const IconName = L"IDI_ICON1";

// Control ids lie far from IDOK and IDCANCEL, which Enter and Escape send to the window.
inline constexpr int FirstControlId = 1000;

inline constexpr int ControlId(Control control)
{
    return FirstControlId + static_cast<int>(control);
}

inline constexpr UINT_PTR TimerId = static_cast<UINT_PTR>(ControlId(Control::Timer1));
// The settling after a burst of device changes (DeviceSettlingMs).
inline constexpr UINT_PTR RescanTimerId = TimerId + 1;

} // namespace tallymark
