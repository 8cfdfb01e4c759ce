// Tells the panel's window that a COM port came or went, as Windows tells every top-level
// window when a USB serial adapter is plugged in or pulled out; Wine announces no serial
// device, so the end-to-end scenarios announce them with this. "devnodes" is the change of
// the device tree that names no device, as any device's coming or going brings. Or that the
// user logs off:
// the window is asked, then told whether the session ends, which it does not where another
// program refused. Or a close request from outside, as taskkill without /F posts it.
//   panel-message arrival|removal COMn
//   panel-message devnodes
//   panel-message log-off|refused-log-off|close

#include <windows.h>

#include <dbt.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    const bool close = argc == 2 && std::wcscmp(argv[1], L"close") == 0;
    const bool nameless = argc == 2 && std::wcscmp(argv[1], L"devnodes") == 0;
    const bool logOff
        = argc == 2 && (std::wcscmp(argv[1], L"log-off") == 0 || std::wcscmp(argv[1], L"refused-log-off") == 0);
    if (!close && !logOff && !nameless
        && (argc != 3 || (std::wcscmp(argv[1], L"arrival") != 0 && std::wcscmp(argv[1], L"removal") != 0))) {
        std::fprintf(stderr, "usage: panel-message arrival|removal COMn | devnodes | log-off|refused-log-off|close\n");
        return 2;
    }
    const HWND panel = FindWindowW(L"TallymarkForm1", nullptr);
    if (!panel) {
        std::fprintf(stderr, "panel-message: no panel window\n");
        return 1;
    }
    if (close)
        return PostMessageW(panel, WM_CLOSE, 0, 0) ? 0 : 1;
    DWORD_PTR answer = 0;
    if (logOff) {
        const bool ends = SendMessageTimeoutW(panel, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                              15000, &answer)
                       && answer && std::wcscmp(argv[1], L"log-off") == 0;
        return SendMessageTimeoutW(panel, WM_ENDSESSION, ends, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 15000, &answer) ? 0 : 1;
    }
    // A port's change carries its name; the device tree's carries nothing.
    WPARAM event = DBT_DEVNODES_CHANGED;
    std::vector<unsigned char> buffer;
    if (!nameless) {
        const std::size_t name = std::wcslen(argv[2]) + 1;
        buffer.resize(offsetof(DEV_BROADCAST_PORT_W, dbcp_name) + name * sizeof(wchar_t));
        auto* port = reinterpret_cast<DEV_BROADCAST_PORT_W*>(buffer.data());
        port->dbcp_size = static_cast<DWORD>(buffer.size());
        port->dbcp_devicetype = DBT_DEVTYP_PORT;
        std::memcpy(port->dbcp_name, argv[2], name * sizeof(wchar_t));
        event = std::wcscmp(argv[1], L"arrival") == 0 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    }
    if (!SendMessageTimeoutW(panel, WM_DEVICECHANGE, event, nameless ? 0 : reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 15000, &answer)) {
        std::fprintf(stderr, "panel-message: the panel did not answer\n");
        return 1;
    }
    return 0;
}
