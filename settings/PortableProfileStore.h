#pragma once
// The private-profile functions written out for platforms without them. Every call reads
// the file anew; every change replaces the file in one step and changes only the bytes its
// edits must change.

#include "settings/ProfileStore.h"

namespace tallymark {

class PortableProfileStore final : public ProfileStore {
public:
    std::uint32_t GetInt(const char* section, const char* key, int defaultValue, const char* path) override;
    std::uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                            std::uint32_t size, const char* path) override;
    bool WriteStrings(std::span<const ProfileWrite> writes, const char* path, const char* seed) override;
};

} // namespace tallymark
