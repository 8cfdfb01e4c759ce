#include "ui/win32/Dpi.h"

namespace tallymark {

namespace {

// Values from the headers of later Windows versions, which _WIN32_WINNT 0x0601 hides.
const HANDLE PerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE PerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
constexpr int ProcessPerMonitorDpiAware = 2; // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int EffectiveDpi = 0; // MDT_EFFECTIVE_DPI

using SetProcessDpiAwarenessContextFunction = BOOL(WINAPI*)(HANDLE);
using SetProcessDpiAwarenessFunction = HRESULT(WINAPI*)(int);
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Function>
Function Lookup(const wchar_t* module, const char* name)
{
    HMODULE loaded = GetModuleHandleW(module);
    if (!loaded)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

// shcore.dll (Windows 8.1) is loaded only where it exists, and only for the DPI calls.
HMODULE ShellScaling()
{
    static const HMODULE module = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

template <typename Function>
Function LookupShellScaling(const char* name)
{
    const HMODULE module = ShellScaling();
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

void DeclareDpiAwareness()
{
    if (const auto setContext
        = Lookup<SetProcessDpiAwarenessContextFunction>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        if (setContext(PerMonitorAwareV2) || setContext(PerMonitorAware))
            return;
        // Refused: the manifest has settled it already, or this Windows knows neither.
        if (GetLastError() == ERROR_ACCESS_DENIED)
            return;
    }
    if (const auto setAwareness = LookupShellScaling<SetProcessDpiAwarenessFunction>("SetProcessDpiAwareness")) {
        setAwareness(ProcessPerMonitorDpiAware);
        return;
    }
    SetProcessDPIAware();
}

UINT DpiOf(HWND window)
{
    static const auto forWindow = Lookup<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    if (forWindow && window)
        if (const UINT dpi = forWindow(window))
            return dpi;
    static const auto forMonitor = LookupShellScaling<GetDpiForMonitorFunction>("GetDpiForMonitor");
    if (forMonitor && window) {
        UINT x = 0, y = 0;
        if (SUCCEEDED(forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), EffectiveDpi, &x, &y)) && y)
            return y;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : StandardDpi;
}

void ScaleFrameWithDpi(HWND window)
{
    static const auto enable = Lookup<EnableNonClientDpiScalingFunction>(L"user32.dll", "EnableNonClientDpiScaling");
    if (enable)
        enable(window);
}

RECT WindowRectFor(const RECT& client, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto adjustForDpi
        = Lookup<AdjustWindowRectExForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT rect = client;
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        rect = client;
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return rect;
}

} // namespace tallymark
