// The user's settings folder on Windows.

#include "settings/UserFolder.h"

#include <windows.h>

#include "settings/SettingsFile.h"

namespace tallymark {

std::string UserSettingsDirectory()
{
    std::wstring local(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local.data(), static_cast<DWORD>(local.size()));
        if (length == 0)
            return {};
        if (length < local.size()) {
            local.resize(length);
            break;
        }
        local.resize(length);
    }
    // The folder is there on every Windows the panel runs on, so that a name the code page
    // cannot spell has its short form; "Tallymark" needs none.
    return JoinPath(AnsiPathOf(local), "Tallymark");
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& folder)
{
    // The user's local application data folder is there already: one level to make.
    CreateDirectoryA(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace tallymark
