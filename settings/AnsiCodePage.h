#pragma once
// Conversion between the window's UTF-8 texts and the settings file's bytes in the ANSI
// code page: the system code page on Windows, code page 932 (Shift-JIS) elsewhere, so that
// a file written on a Japanese Windows PC reads the same everywhere.

#include <cstddef>
#include <string>
#include <string_view>

namespace tallymark {

// True for the first byte of a double-byte character.
bool IsAnsiLeadByte(unsigned char byte);

// The bytes of the character that text begins with: 2 for a lead byte followed by a byte that
// can be the second of a double-byte character, 1 otherwise (and for an empty text). In the
// double-byte code pages of Windows a second byte is 0x40 or above, so a lead byte before a
// line end, '=', ';', a blank or a quote stands alone, and a damaged character never hides
// the structure of a line.
std::size_t AnsiCharacterSize(std::string_view text);

// The length of the longest run of whole characters at the start of text that has at most
// `most` bytes: a cut there never splits a double-byte character.
std::size_t AnsiCutLength(std::string_view text, std::size_t most);

// Bytes that do not form a character become U+FFFD.
std::string AnsiToUtf8(std::string_view ansi);

// Characters the code page lacks, and bytes that are not UTF-8, become '?', as Windows does.
std::string Utf8ToAnsi(std::string_view utf8);

// A path as the profile store takes it, for the window: from the ANSI code page on Windows;
// elsewhere paths are the system's own bytes, not code page 932, and stay as they are.
std::string PathToUtf8(std::string_view path);

// The bytes without a lead byte left alone at the end, so that a cut never splits a
// double-byte character.
std::string_view WholeAnsiCharacters(std::string_view ansi);

} // namespace tallymark
