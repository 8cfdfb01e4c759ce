#pragma once
// The characters of the panel's texts: ASCII letters compared without case, as the settings
// file's names and the COM box's items are, and the characters of a UTF-8 text, as a text
// box counts them.

#include <cstddef>
#include <string_view>

namespace tallymark {

// The capital of an ASCII letter; any other byte as it is.
inline char FoldCase(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The bytes of the character that a UTF-8 text begins with: its first byte and the
// continuation bytes (10xxxxxx) that follow it; 0 for an empty text.
std::size_t Utf8CharacterSize(std::string_view utf8);

// The first count characters (code points) of a UTF-8 text.
std::string_view FirstCharacters(std::string_view utf8, std::size_t count);

} // namespace tallymark
