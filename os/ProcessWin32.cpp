// Other processes on Windows.

#include "os/Process.h"

#include <windows.h>

#include <string>

namespace tallymark {

bool ProcessRuns(std::int64_t id)
{
    if (id <= 0 || id > MAXDWORD)
        return false;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD exitCode = 0;
    const bool runs = !GetExitCodeProcess(process, &exitCode) || exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

std::string ProcessName(std::int64_t)
{
    // Windows tells a port held by another program without saying which.
    return {};
}

std::string UserName()
{
    // The log-on's own variable: kernel32 alone, as the rest of the panel.
    wchar_t name[257] = {};
    const DWORD length = GetEnvironmentVariableW(L"USERNAME", name, 257);
    if (length == 0 || length >= 257)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(length), text.data(), size, nullptr, nullptr);
    return text;
}

} // namespace tallymark
