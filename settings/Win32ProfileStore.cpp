// The platform's own private-profile functions, on Windows.

#include "settings/ProfileStore.h"

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

    bool WriteString(const char* section, const char* key, const char* value, const char* path) override
    {
        return WritePrivateProfileStringA(section, key, value, path) != FALSE;
    }
};

} // namespace

std::unique_ptr<ProfileStore> SystemProfileStore()
{
    return std::make_unique<Win32ProfileStore>();
}

} // namespace tallymark
