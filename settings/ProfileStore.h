#pragma once
// Profile (INI) files with the contract of kernel32's private-profile functions, ANSI forms.
// Texts, names and paths are bytes in the ANSI code page.

#include <cstdint>
#include <memory>
#include <span>

namespace tallymark {

// One call of WritePrivateProfileStringA: a null key removes the section, a null value the key.
struct ProfileWrite {
    const char* section;
    const char* key;
    const char* value;
};

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

    // WritePrivateProfileStringA for each write in turn, as one change of the file: the writes
    // are made on a copy, which then takes the file's place in one step, so that the file
    // holds its old content or all of the new one and is never missing. Where path has no
    // file yet, the copy starts from the file `seed` names (when not null and there), so that
    // its lines carry over. False, with the file as it was, when any step fails.
    virtual bool WriteStrings(std::span<const ProfileWrite> writes, const char* path, const char* seed) = 0;

    // WritePrivateProfileStringA: sets the key's value, creating the key, the section or the
    // file as needed. False when the file could not be written; the old file then stays.
    bool WriteString(const char* section, const char* key, const char* value, const char* path)
    {
        const ProfileWrite write{section, key, value};
        return WriteStrings(std::span(&write, 1), path, nullptr);
    }
};

// The platform's own functions on Windows; the portable store everywhere else.
std::unique_ptr<ProfileStore> SystemProfileStore();

} // namespace tallymark
