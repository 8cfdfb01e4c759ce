#include "differential/Runner.h"

#include <windows.h>

#include <algorithm>

#include "settings/PortableProfileStore.h"
#include "settings/ProfileText.h"
#include "support/Files.h"

namespace tallymark::differential {
namespace {

// Bytes after the buffer that no call may touch, and the answer size that holds any whole answer.
constexpr std::size_t GuardBytes = 8;
constexpr std::uint32_t WholeSize = 1 << 16;

// kernel32's own functions, called directly: the panel's Windows store adds a safe replace
// around the write, which is not what is compared here.
class Kernel32 final : public ProfileStore {
public:
    std::uint32_t GetInt(const char* section, const char* key, int defaultValue, const char* path) override
    {
        return ::GetPrivateProfileIntA(section, key, defaultValue, path);
    }
    std::uint32_t GetString(const char* section, const char* key, const char* defaultText, char* buffer,
                            std::uint32_t size, const char* path) override
    {
        return ::GetPrivateProfileStringA(section, key, defaultText, buffer, size, path);
    }
    bool WriteStrings(std::span<const ProfileWrite> writes, const char* path, const char*) override
    {
        bool written = true;
        for (const ProfileWrite& write : writes)
            written = ::WritePrivateProfileStringA(write.section, write.key, write.value, path) != FALSE && written;
        return written;
    }
};

const char* OrNull(const std::optional<std::string>& text)
{
    return text ? text->c_str() : nullptr;
}

Outcome Ask(ProfileStore& store, const Query& query, std::uint32_t size, const std::string& path)
{
    if (query.kind == Query::Kind::Integer)
        return {store.GetInt(query.section.c_str(), query.key.c_str(), query.defaultValue, path.c_str()), {}};
    Outcome outcome;
    outcome.buffer.assign(size + GuardBytes, Guard);
    const char* section = query.kind == Query::Kind::SectionNames ? nullptr : query.section.c_str();
    const char* key = query.kind == Query::Kind::Value ? query.key.c_str() : nullptr;
    outcome.count = store.GetString(section, key, OrNull(query.defaultText), outcome.buffer.data(), size, path.c_str());
    return outcome;
}

// After a write: the written value, the names of its section and all section names.
std::vector<Query> ReadBacks(const Write& write)
{
    std::vector<Query> queries(3);
    queries[0].section = write.section;
    queries[0].key = write.key.value_or("");
    queries[0].defaultText = "<none>";
    queries[1].kind = Query::Kind::KeyNames;
    queries[1].section = write.section;
    queries[1].defaultText = "<none>";
    queries[2].kind = Query::Kind::SectionNames;
    return queries;
}

std::string FileOf(const std::string& path)
{
    const std::string bytes = check::ReadAll(path);
    return bytes == "<missing>" ? std::string() : bytes;
}

} // namespace

std::vector<Observation> Runner::Run(const Case& kase)
{
    Kernel32 kernel32;
    PortableProfileStore portable;
    // New names for every case: kernel32 caches profile files by name.
    const std::string number = std::to_string(++files_);
    const std::string kernel32Path = folder_ + "\\k" + number + ".ini";
    const std::string portablePath = folder_ + "\\p" + number + ".ini";
    const std::string content = kase.Content();
    if (kase.fileExists) {
        check::WriteAll(kernel32Path, content);
        check::WriteAll(portablePath, content);
    }

    std::vector<Observation> seen;
    const auto ask = [&](const Query& query, Phase phase, const std::string& now) {
        Observation observation;
        observation.phase = phase;
        observation.query = query;
        observation.before = content;
        observation.now = now;
        if (query.kind != Query::Kind::Integer) {
            const Outcome whole = Ask(portable, query, WholeSize, portablePath);
            observation.whole = whole.buffer.substr(0, whole.count);
        }
        const int size = query.sizeFromFit ? static_cast<int>(observation.whole.size()) + 1 + query.size : query.size;
        observation.size = static_cast<std::uint32_t>(std::max(size, 0));
        observation.kernel32 = Ask(kernel32, query, observation.size, kernel32Path);
        observation.portable = Ask(portable, query, observation.size, portablePath);
        calls_ += 3;
        seen.push_back(std::move(observation));
    };

    for (const Query& query : kase.queries)
        ask(query, Phase::Before, content);
    if (kase.write) {
        const Write& write = *kase.write;
        Observation observation;
        observation.phase = Phase::Write;
        observation.write = write;
        observation.before = content;
        const char* key = OrNull(write.key);
        const char* value = OrNull(write.value);
        observation.kernel32.count = kernel32.WriteString(write.section.c_str(), key, value, kernel32Path.c_str());
        observation.portable.count = portable.WriteString(write.section.c_str(), key, value, portablePath.c_str());
        observation.writeRefused = !EditProfile(content, write.section, key, value);
        observation.now = FileOf(portablePath);
        calls_ += 2;
        const bool refused = observation.writeRefused;
        const std::string now = observation.now;
        seen.push_back(std::move(observation));

        std::vector<Query> after = kase.queries;
        for (const Query& query : ReadBacks(write))
            after.push_back(query);
        for (const Query& query : after) {
            ask(query, Phase::After, now);
            seen.back().write = write;
            seen.back().writeRefused = refused;
        }
    }
    ::DeleteFileA(kernel32Path.c_str());
    ::DeleteFileA(portablePath.c_str());
    return seen;
}

} // namespace tallymark::differential
