#pragma once
// Reading and editing the text of a profile file as the private-profile functions see it,
// without touching any byte that an edit does not have to change.
//
// The content is text of the ANSI code page, read a character at a time. A line ends at CR,
// LF or CRLF. After leading blanks, '[' opens a section header whose name runs to the line's
// last ']' character (the rest of the line is ignored); ';' starts a comment; otherwise the
// first '=' splits a key from its value. Names match ignoring ASCII case and surrounding
// blanks; only the first section of a name counts, and in it only the first key of a name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallymark {

// The key's value, trimmed of blanks and of one pair of matching outer quotes; no value
// when the section or the key is missing.
std::optional<std::string_view> FindProfileValue(std::string_view content, std::string_view section,
                                                 std::string_view key);

// The names of all sections, in file order.
std::vector<std::string_view> ProfileSectionNames(std::string_view content);

// The names of the keys of a section, in file order; no value when the section is missing.
std::optional<std::vector<std::string_view>> ProfileKeyNames(std::string_view content, std::string_view section);

// The text without the blanks (space, tab, vertical tab, form feed) around it, as names and
// values are compared and returned.
std::string_view TrimProfileBlanks(std::string_view text);

// The number a value begins with: blanks, one optional sign, decimal digits or a prefix
// "0x", "0o" or "0b" and digits of that base, up to the first character that cannot
// continue it; wrapped to 32 bits.
std::uint32_t ProfileInteger(std::string_view value);

// The content after WritePrivateProfileString(section, key, value): a null key removes the
// section, a null value the key. No value when the names or the value cannot be written
// so that they read back (a line break in any of them, '=' in the key, a key that would
// read as a comment or a section header, or a section name ending in a lead byte).
std::optional<std::string> EditProfile(std::string_view content, std::string_view section, const char* key,
                                       const char* value);

} // namespace tallymark
