// The platform's own private-profile functions, on Windows.

#include "settings/ProfileStore.h"

#include <string>

#include <windows.h>

namespace tallymark {
namespace {

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
    // one step; ReplaceFile keeps the file's attributes and access rights.
    bool WriteString(const char* section, const char* key, const char* value, const char* path) override
    {
        if (!section || !path)
            return false;
        const std::string temporary = std::string(path) + ".tmp" + std::to_string(GetCurrentProcessId());
        const DWORD attributes = GetFileAttributesA(path);
        const bool hadFile = attributes != INVALID_FILE_ATTRIBUTES;
        if (hadFile && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        if (hadFile && !CopyFileA(path, temporary.c_str(), FALSE))
            return false;

        bool written = WritePrivateProfileStringA(section, key, value, temporary.c_str()) != FALSE;
        // All three names null: kernel32 writes out anything it still holds for the file.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, temporary.c_str());
        written = written && Flush(temporary);
        if (written) {
            written = hadFile ? ReplaceFileA(path, temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE
                              : MoveFileExA(temporary.c_str(), path, MOVEFILE_WRITE_THROUGH) != FALSE;
        }
        if (!written)
            DeleteFileA(temporary.c_str());
        return written;
    }

private:
    static bool Flush(const std::string& file)
    {
        const HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
