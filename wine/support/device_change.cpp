// Tells the panel's window that a COM port came or went, as Windows tells every top-level
// window when a USB serial adapter is plugged in or pulled out; Wine announces no serial
// device, so the end-to-end scenarios announce them with this.
//   device-change arrival|removal COMn

#include <windows.h>

#include <dbt.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 || (std::wcscmp(argv[1], L"arrival") != 0 && std::wcscmp(argv[1], L"removal") != 0)) {
        std::fprintf(stderr, "usage: device-change arrival|removal COMn\n");
        return 2;
    }
    const HWND panel = FindWindowW(L"TallymarkForm1", nullptr);
    if (!panel) {
        std::fprintf(stderr, "device-change: no panel window\n");
        return 1;
    }
    const std::size_t name = std::wcslen(argv[2]) + 1;
    std::vector<unsigned char> buffer(offsetof(DEV_BROADCAST_PORT_W, dbcp_name) + name * sizeof(wchar_t));
    auto* port = reinterpret_cast<DEV_BROADCAST_PORT_W*>(buffer.data());
    port->dbcp_size = static_cast<DWORD>(buffer.size());
    port->dbcp_devicetype = DBT_DEVTYP_PORT;
    std::memcpy(port->dbcp_name, argv[2], name * sizeof(wchar_t));
    const WPARAM event = std::wcscmp(argv[1], L"arrival") == 0 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(panel, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(port), SMTO_ABORTIFHUNG, 15000,
                             &answer)) {
        std::fprintf(stderr, "device-change: the panel did not answer\n");
        return 1;
    }
    return 0;
}
