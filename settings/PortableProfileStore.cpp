#include "settings/PortableProfileStore.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "settings/AnsiCodePage.h"
#include "settings/FileBytes.h"
#include "settings/ProfileText.h"

namespace tallymark {
namespace {

std::string_view ContentOf(const FileBytes& file)
{
    return file.state == FileState::Present ? std::string_view(file.bytes) : std::string_view();
}

std::string_view WithoutTrailingSpaces(const char* text)
{
    std::string_view view = text ? text : "";
    while (!view.empty() && view.back() == ' ')
        view.remove_suffix(1);
    return view;
}

// A text that does not fit is cut, and never inside a double-byte character.
std::uint32_t CopyText(std::string_view text, char* buffer, std::uint32_t size)
{
    const std::size_t count = text.size() < size ? text.size() : AnsiCutLength(text, size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

// Names one after another, each ended by a NUL, the list ended by one more. A list needs a
// byte to spare: one that only just fits counts as cut, as on Windows. A cut list ends with
// two NULs (three when the cut drops the first byte of a double-byte character) and the count
// is size - 2.
std::uint32_t CopyNameList(const std::vector<std::string_view>& names, char* buffer, std::uint32_t size)
{
    std::string list;
    for (std::string_view name : names) {
        list += name;
        list += '\0';
    }
    if (list.size() + 2 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<std::uint32_t>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t kept = AnsiCutLength(list, size - 2);
    std::memcpy(buffer, list.data(), kept);
    std::memset(buffer + kept, '\0', size - kept);
    return size - 2;
}

} // namespace

std::uint32_t PortableProfileStore::GetInt(const char* section, const char* key, int defaultValue, const char* path)
{
    const auto fallback = static_cast<std::uint32_t>(defaultValue);
    if (!section || !key || !path)
        return fallback;
    const FileBytes file = ReadFileBytes(path);
    const auto value = FindProfileValue(ContentOf(file), section, key);
    if (!value || value->empty())
        return fallback;
    return ProfileInteger(*value);
}

std::uint32_t PortableProfileStore::GetString(const char* section, const char* key, const char* defaultText,
                                              char* buffer, std::uint32_t size, const char* path)
{
    if (!buffer || size == 0)
        return 0;
    const std::string_view fallback = WithoutTrailingSpaces(defaultText);
    if (!path)
        return CopyText(fallback, buffer, size);
    const FileBytes file = ReadFileBytes(path);
    const std::string_view content = ContentOf(file);
    if (!section)
        return CopyNameList(ProfileSectionNames(content), buffer, size);
    if (!key) {
        const auto keys = ProfileKeyNames(content, section);
        if (keys && !keys->empty())
            return CopyNameList(*keys, buffer, size);
        return CopyText(fallback, buffer, size);
    }
    return CopyText(FindProfileValue(content, section, key).value_or(fallback), buffer, size);
}

bool PortableProfileStore::WriteStrings(std::span<const ProfileWrite> writes, const char* path, const char* seed)
{
    if (!path)
        return false;
    const FileBytes file = ReadFileBytes(path);
    // A file that is there but cannot be read must not be replaced by one built from nothing.
    if (file.state == FileState::Unreadable)
        return false;
    std::string content = file.bytes;
    // A seed that cannot be read gives no lines to keep; the writes themselves still go in.
    if (file.state == FileState::Missing && seed)
        content = ReadFileBytes(seed).bytes;
    // All or nothing: one write that cannot be made leaves the file as it was.
    for (const ProfileWrite& write : writes) {
        if (!write.section)
            return false;
        auto edited = EditProfile(content, write.section, write.key, write.value);
        if (!edited)
            return false;
        content = std::move(*edited);
    }
    if (file.state == FileState::Present && content == file.bytes)
        return true;
    return ReplaceFileBytes(path, content);
}

} // namespace tallymark
