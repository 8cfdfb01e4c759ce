// The user's settings folder on Windows, and the folders' and files' questions.

#include "os/UserFolder.h"

#include <windows.h>

#include "os/ProgramDirectory.h"
#include "os/WideText.h"

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
    // Joined here, where a separator is one character whatever the code page.
    while (!local.empty() && (local.back() == L'\\' || local.back() == L'/'))
        local.pop_back();
    // The folder is there on every Windows the panel runs on, so that a name the code page
    // cannot spell has its short form; "Tallymark" needs none.
    return AnsiPathOf(local) + "\\Tallymark";
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

bool CanMakeFilesIn(const std::string& folder)
{
    // The folder's path in UTF-16, where a separator cannot be the second byte of a character
    // of the code page, as in 表 or ソ in code page 932.
    std::wstring path = ToWide(CP_ACP, folder);
    if (path.empty())
        path = L".";
    if (path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    // A name of this process's own; the system removes the file when its handle closes, even
    // where the process is killed in between.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring probe
            = path + L"~tallymark" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
        const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool CanWriteInPlace(const std::string& file)
{
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // Opened for writing and closed again, untouched; shared, so that a reader does not count.
    const HANDLE handle
        = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

bool IsReadOnlyFile(const std::string& file)
{
    const DWORD attributes = GetFileAttributesA(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)
        && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace tallymark
