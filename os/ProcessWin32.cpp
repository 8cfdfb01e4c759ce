// Other processes on Windows.

#include "os/Process.h"

#include <windows.h>

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

} // namespace tallymark
