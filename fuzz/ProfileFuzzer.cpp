// Random files and calls for the profile reader and writer. Besides finding crashes, hangs
// and reads beyond a buffer, it checks that a write sets the value it was given and leaves
// every other value of the file as it was.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "settings/FileBytes.h"
#include "settings/PortableProfileStore.h"
#include "settings/ProfileText.h"

using namespace tallymark;

namespace {

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "profile fuzzer: %s\n", what);
    std::abort();
}

// What a reader gets back for a value that was written.
std::string_view AsRead(std::string_view value)
{
    value = TrimProfileBlanks(value);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        value = value.substr(1, value.size() - 2);
    return value;
}

bool IsPlainAscii(std::string_view name)
{
    for (char c : name) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

bool SameAsciiName(std::string_view a, std::string_view b)
{
    a = TrimProfileBlanks(a);
    b = TrimProfileBlanks(b);
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

void CheckEdit(std::string_view content, const std::string& section, const std::string& key, const std::string& value)
{
    const auto edited = EditProfile(content, section, key.c_str(), value.c_str());
    if (!edited)
        return;
    const auto readBack = FindProfileValue(*edited, section, key);
    if (!readBack || *readBack != AsRead(value))
        Fail("a written value does not read back");

    // Every other value the file held, under plain names, is still the same.
    std::vector<std::pair<std::string, std::string>> names;
    for (std::string_view s : ProfileSectionNames(content)) {
        if (!IsPlainAscii(s))
            continue;
        if (const auto keys = ProfileKeyNames(content, s)) {
            for (std::string_view k : *keys) {
                if (IsPlainAscii(k) && names.size() < 16)
                    names.emplace_back(s, k);
            }
        }
    }
    for (const auto& [s, k] : names) {
        if (SameAsciiName(s, section) && SameAsciiName(k, key))
            continue;
        if (FindProfileValue(content, s, k) != FindProfileValue(*edited, s, k))
            Fail("a write changed another value");
    }
}

const std::string& ScratchFile()
{
    static const std::string path = [] {
        // Memory-backed when available: every save flushes to the disk, which would
        // otherwise set the pace of the whole run.
        char shared[] = "/dev/shm/profile-fuzz-XXXXXX";
        char temporary[] = "/tmp/profile-fuzz-XXXXXX";
        char* folder = ::mkdtemp(shared);
        if (!folder)
            folder = ::mkdtemp(temporary);
        if (!folder)
            Fail("no scratch folder");
        static std::string made = folder;
        std::atexit([] {
            std::remove((made + "/Tallymark.ini").c_str());
            ::rmdir(made.c_str());
        });
        return made + "/Tallymark.ini";
    }();
    return path;
}

void CheckStore(const std::string& content, const std::string& section, const std::string& key,
                const std::string& value, std::uint32_t size)
{
    const std::string& path = ScratchFile();
    if (!ReplaceFileBytes(path.c_str(), content))
        Fail("the scratch file cannot be written");

    PortableProfileStore store;
    store.GetInt(section.c_str(), key.c_str(), 7, path.c_str());

    // The call may use size bytes and not one more.
    std::vector<char> buffer(size + 1, '\x5A');
    const std::uint32_t count = store.GetString(section.c_str(), key.c_str(), "def", buffer.data(), size, path.c_str());
    if (buffer[size] != '\x5A' || (size > 0 && count >= size))
        Fail("GetString overran its buffer");
    store.GetString(nullptr, nullptr, "def", buffer.data(), size, path.c_str());
    store.GetString(section.c_str(), nullptr, "def", buffer.data(), size, path.c_str());
    if (buffer[size] != '\x5A')
        Fail("a name list overran its buffer");

    const auto edited = EditProfile(content, section, key.c_str(), value.c_str());
    const bool written = store.WriteString(section.c_str(), key.c_str(), value.c_str(), path.c_str());
    if (written != edited.has_value())
        Fail("WriteString and EditProfile disagree");
    const FileBytes after = ReadFileBytes(path.c_str());
    if (after.bytes != (edited ? *edited : content))
        Fail("the file does not hold the edit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(16);
    const std::uint32_t bufferSize = input.ConsumeIntegralInRange<std::uint32_t>(0, 40);
    // The file round trip is slow (it flushes to the disk); half the inputs skip it.
    const bool throughFile = input.ConsumeBool();
    const std::string content = input.ConsumeRemainingBytesAsString();

    // The names and the value reach the functions as C strings.
    const std::string sectionName = section.c_str(), keyName = key.c_str(), valueText = value.c_str();

    FindProfileValue(content, sectionName, keyName);
    ProfileInteger(content);
    CheckEdit(content, sectionName, keyName, valueText);
    if (EditProfile(content, sectionName, keyName.c_str(), nullptr) == std::nullopt && !keyName.empty()
        && EditProfile(content, sectionName, keyName.c_str(), "") != std::nullopt)
        Fail("a key that can be set cannot be removed");
    EditProfile(content, sectionName, nullptr, nullptr);
    if (throughFile)
        CheckStore(content, sectionName, keyName, valueText, bufferSize);
    return 0;
}
