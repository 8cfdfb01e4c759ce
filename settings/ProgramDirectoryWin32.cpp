// The program's own folder on Windows.

#include "settings/SettingsFile.h"

#include <windows.h>

namespace tallymark {

std::string ProgramDirectory()
{
    // Paths may be longer than MAX_PATH; grow until the whole name fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return ".";
    // A program in a drive's root keeps the separator: "C:\".
    return path.substr(0, separator == 2 && path[1] == ':' ? separator + 1 : separator);
}

} // namespace tallymark
