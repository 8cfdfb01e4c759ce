#pragma once
// Whole files as bytes through plain Win32 calls, for checks that set up a file and compare
// it afterwards.

#include <windows.h>

#include <string>
#include <string_view>

namespace check {

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadAll(const std::string& path)
{
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD count = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &count, nullptr) && count > 0)
        bytes.append(chunk, count);
    ::CloseHandle(file);
    return bytes;
}

// Creates or truncates the file with these bytes; false when any step fails.
inline bool WriteAll(const std::string& path, std::string_view bytes)
{
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD count = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                    count == bytes.size();
    return ::CloseHandle(file) && ok;
}

} // namespace check
