// The program's own folder on Windows.

#include "os/ProgramDirectory.h"

#include <windows.h>

#include "os/WideText.h"

namespace tallymark {

std::string AnsiPathOf(const std::wstring& path)
{
    bool lossy = false;
    const std::string ansi = FromWide(CP_ACP, path, &lossy);
    if (!lossy)
        return ansi;
    // A name the code page cannot spell has a short name that it can, where the volume
    // keeps short names; the ANSI profile functions then still reach the folder.
    std::wstring shortPath(MAX_PATH, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size())
        return ansi;
    shortPath.resize(length);
    return FromWide(CP_ACP, shortPath, &lossy);
}

std::string ProgramDirectory()
{
    // Paths may be longer than MAX_PATH; grow until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return ".";
    // A program in a drive's root keeps the separator: "C:\".
    return AnsiPathOf(path.substr(0, separator == 2 && path[1] == L':' ? separator + 1 : separator));
}

} // namespace tallymark
