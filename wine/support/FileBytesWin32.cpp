// The portable store's file layer on Windows. The panel itself uses kernel32's profile
// functions there; this lets the conformance run put the portable store beside them on
// the same system, reading and writing the same kind of files. It keeps to the one-step
// replacement: the in-place rewrite for a closed folder and the removal of stale temporary
// files are the panel's own, done on Windows in settings/Win32ProfileStore.cpp.

#include "settings/FileBytes.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tallymark {
namespace {

// A file's handle, closed when it goes; Close() reports what closing the file reports.
struct CloseHandleOf {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct Handle : std::unique_ptr<void, CloseHandleOf> {
    explicit Handle(HANDLE handle)
        : std::unique_ptr<void, CloseHandleOf>(handle == INVALID_HANDLE_VALUE ? nullptr : handle)
    {
    }
    bool Close() { return ::CloseHandle(release()) != FALSE; }
};

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

FileBytes ReadFileBytes(const char* path)
{
    FileBytes file;
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        file.state = IsMissing(::GetLastError()) ? FileState::Missing : FileState::Unreadable;
        return file;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        file.state = FileState::Unreadable;
        return file;
    }
    Handle handle(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        file.state = IsMissing(::GetLastError()) ? FileState::Missing : FileState::Unreadable;
        return file;
    }
    if (::GetFileType(handle.get()) != FILE_TYPE_DISK) {
        file.state = FileState::Unreadable;
        return file;
    }
    char chunk[65536];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(handle.get(), chunk, sizeof chunk, &count, nullptr)) {
            file.state = FileState::Unreadable;
            file.bytes.clear();
            return file;
        }
        if (count == 0)
            break;
        file.bytes.append(chunk, count);
    }
    file.state = FileState::Present;
    return file;
}

bool ReplaceFileBytes(const char* path, std::string_view bytes)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;

    // A name of our own beside the target; CREATE_NEW keeps it from meeting anything there.
    std::string temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = std::string(path) + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(attempt);
        created = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    if (created == INVALID_HANDLE_VALUE)
        return false;
    Handle handle(created);

    bool written = true;
    while (written && !bytes.empty()) {
        DWORD count = 0;
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        written = ::WriteFile(handle.get(), bytes.data(), chunk, &count, nullptr) && count > 0;
        bytes.remove_prefix(count);
    }
    written = written && ::FlushFileBuffers(handle.get());
    written = handle.Close() && written;
    if (!written || !::MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tallymark
