#pragma once
// Dots per inch on every Windows from 7 on. What later versions add (per-monitor awareness,
// a window's own DPI, frames sized for a DPI) is looked up at run time; without it the
// system DPI of Windows 7 serves.

#include <windows.h>

namespace tallymark {

inline constexpr UINT StandardDpi = 96;

// The process as per-monitor aware as this Windows allows: per-monitor v2 (Windows 10
// 1703), per-monitor (8.1), system aware (7). Does nothing where the manifest has already
// settled it.
void DeclareDpiAwareness();

// The DPI a window is shown at: its monitor's where the system tells it, else the system's.
UINT DpiOf(HWND window);

// The frame of a top-level window drawn at `dpi` (WM_NCCREATE of per-monitor v1 windows).
void ScaleFrameWithDpi(HWND window);

// The window rectangle that holds a client area of `client`, with the frame at `dpi`.
RECT WindowRectFor(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);

} // namespace tallymark
