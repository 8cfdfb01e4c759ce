#pragma once
// Profile (INI) files with the contract of kernel32's private-profile functions, ANSI forms.
// Texts, names and paths are bytes in the ANSI code page.

#include <cstdint>
#include <memory>

namespace tallymark {

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // GetPrivateProfileIntA: the number the key's value begins with, wrapped to 32 bits;
    // the default when the file, the section or the key is missing, or the value is empty.
    virtual std::uint32_t GetInt(const char* section, const char* key, int defaultValue, const char* path) = 0;

    // GetPrivateProfileStringA: copies at most size - 1 bytes of the value (or of the
    // default) into buffer, ends them with a NUL, and returns the number of bytes copied.
    virtual std::uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                                    std::uint32_t size, const char* path)
        = 0;

    // WritePrivateProfileStringA: sets the key's value, creating the key, the section or the
    // file as needed. False when the file could not be written; the old file then stays.
    virtual bool WriteString(const char* section, const char* key, const char* value, const char* path) = 0;
};

// The platform's own functions on Windows; the portable store everywhere else.
std::unique_ptr<ProfileStore> SystemProfileStore();

} // namespace tallymark
