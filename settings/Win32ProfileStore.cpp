// The platform's own private-profile functions, on Windows.

#include "settings/ProfileStore.h"

#include <span>
#include <string>
#include <string_view>

#include <windows.h>

#include "os/Process.h"
#include "settings/TemporaryName.h"

namespace tallymark {
namespace {

void MakeWritable(const char* file)
{
    const DWORD attributes = GetFileAttributesA(file);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(file, attributes & ~FILE_ATTRIBUTE_READONLY);
}

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
        if (owner && *owner != GetCurrentProcessId() && !ProcessRuns(*owner)) {
            // Earlier versions left read-only copies of a read-only file, which DeleteFile refuses.
            const std::string stale = folder + found.cFileName;
            MakeWritable(stale.c_str());
            DeleteFileA(stale.c_str());
        }
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
    // short, and one call per key would leave some keys new and some old. All the writes are
    // made on one copy beside the file instead, which MoveFileEx then renames over the file:
    // the file is never removed first, as ReplaceFile without a backup does, so that at every
    // moment it holds the old content or all of the new. Where no copy can be made beside the
    // file (a folder closed to the user, the file opened up), kernel32 edits the file itself
    // after all: a setting kept beats a setting lost. So is a file that another program holds
    // open beyond a few brief retries.
    bool WriteStrings(std::span<const ProfileWrite> writes, const char* path, const char* seed) override
    {
        if (!path)
            return false;
        // Also beside a read-only file: a save killed before the file was made read-only
        // leaves its copy there.
        RemoveStaleCopies(path);
        const DWORD attributes = GetFileAttributesA(path);
        const bool hadFile = attributes != INVALID_FILE_ATTRIBUTES;
        // A read-only file refuses the writes, as it refuses kernel32's own.
        if (hadFile && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        const char* original = hadFile                                                     ? path
                             : seed && GetFileAttributesA(seed) != INVALID_FILE_ATTRIBUTES ? seed
                                                                                           : nullptr;
        // A file another program holds open (a virus scanner, an editor, a backup) is
        // usually let go of within moments; only then is it written in place. Replacing a
        // held file fails as a sharing violation, or as access denied (Wine; Windows while
        // the file is being deleted).
        for (int attempt = 1;; ++attempt) {
            if (WriteThroughCopy(writes, path, original, hadFile))
                return true;
            const DWORD error = GetLastError();
            if (attempt == SharingAttempts
                || (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && error != ERROR_ACCESS_DENIED))
                break;
            Sleep(SharingPauseMs);
        }
        if (!hadFile)
            return false;
        const DWORD error = GetLastError();
        if (WriteAndFlush(writes, path))
            return true;
        // The reason the copy failed tells more than kernel32's own failure after it.
        SetLastError(error);
        return false;
    }

private:
    static constexpr int SharingAttempts = 5;
    static constexpr DWORD SharingPauseMs = 50;

    // The writes made on a copy of the original beside the file, which then takes its place.
    static bool WriteThroughCopy(std::span<const ProfileWrite> writes, const char* path, const char* original,
                                 bool hadFile)
    {
        const std::string copy = std::string(path) + ".tmp" + std::to_string(GetCurrentProcessId());
        if (original && !CopyFileA(original, copy.c_str(), FALSE))
            return false;
        // The copy keeps the original's attributes but must take the writes, and go again
        // when they fail.
        if (original)
            MakeWritable(copy.c_str());
        bool written = WriteAndFlush(writes, copy.c_str());
        written = written
               && MoveFileExA(copy.c_str(), path, (hadFile ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH)
                      != FALSE;
        if (!written) {
            const DWORD error = GetLastError();
            DeleteFileA(copy.c_str());
            SetLastError(error);
        }
        return written;
    }

    static bool WriteAndFlush(std::span<const ProfileWrite> writes, const char* file)
    {
        bool written = true;
        for (const ProfileWrite& write : writes)
            written = written && write.section
                   && WritePrivateProfileStringA(write.section, write.key, write.value, file) != FALSE;
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
