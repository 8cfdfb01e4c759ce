// The platform's own private-profile functions, on Windows.

#include "settings/ProfileStore.h"

#include <string>
#include <string_view>

#include <windows.h>

#include "os/Process.h"
#include "settings/TemporaryName.h"

namespace tallymark {
namespace {

// Copies left by saves that were killed before they could replace the file or delete the
// copy: "<file>.tmp<id>" of a process that has ended. Only plain files go; links, folders
// and every name of another form stay.
void RemoveStaleCopies(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string prefix = path.substr(folder.size()) + ".tmp";
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path + ".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string_view name = found.cFileName;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        // The pattern also meets short 8.3 names and names in other case; the name itself decides.
        if (name.size() <= prefix.size()
            || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.data(), static_cast<int>(prefix.size()),
                              prefix.data(), static_cast<int>(prefix.size()))
                   != CSTR_EQUAL)
            continue;
        const auto owner = TemporaryFileOwner(name.substr(prefix.size()), false);
        if (owner && *owner != GetCurrentProcessId() && !ProcessRuns(*owner))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

class Win32ProfileStore final : public ProfileStore {
public:
    std::uint32_t GetInt(const char* section, const char* key, int defaultValue, const char* path) override
    {
        return GetPrivateProfileIntA(section, key, defaultValue, path);
    }

    std::uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                            std::uint32_t size, const char* path) override
    {
        return GetPrivateProfileStringA(section, key, defaultText, buffer, size, path);
    }

    // kernel32 rewrites a profile file in place, so a crash in the middle can leave it cut
    // short. The edit is made on a copy beside it instead, which then replaces the file in
    // one step; ReplaceFile keeps the file's attributes and access rights. Where no copy can
    // be made beside the file (a folder closed to the user, the file opened up), kernel32
    // edits the file itself after all: a setting kept beats a setting lost.
    bool WriteString(const char* section, const char* key, const char* value, const char* path) override
    {
        if (!section || !path)
            return false;
        RemoveStaleCopies(path);
        const std::string temporary = std::string(path) + ".tmp" + std::to_string(GetCurrentProcessId());
        const DWORD attributes = GetFileAttributesA(path);
        const bool hadFile = attributes != INVALID_FILE_ATTRIBUTES;
        if (hadFile && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        if (hadFile && !CopyFileA(path, temporary.c_str(), FALSE))
            return WriteAndFlush(section, key, value, path);

        bool written = WriteAndFlush(section, key, value, temporary.c_str());
        if (written) {
            written = hadFile ? ReplaceFileA(path, temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                             nullptr)
                                    != FALSE
                              : MoveFileExA(temporary.c_str(), path, MOVEFILE_WRITE_THROUGH) != FALSE;
        }
        if (!written)
            DeleteFileA(temporary.c_str());
        return written;
    }

private:
    static bool WriteAndFlush(const char* section, const char* key, const char* value, const char* file)
    {
        const bool written = WritePrivateProfileStringA(section, key, value, file) != FALSE;
        // All three names null: kernel32 writes out anything it still holds for the file.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
        return written && Flush(file);
    }

    static bool Flush(const char* file)
    {
        // Shared, so that another program reading the file does not make the flush fail.
        const HANDLE handle = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        const bool flushed = FlushFileBuffers(handle) != FALSE;
        CloseHandle(handle);
        return flushed;
    }
};

} // namespace

std::unique_ptr<ProfileStore> SystemProfileStore()
{
    return std::make_unique<Win32ProfileStore>();
}

} // namespace tallymark
