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

// Bytes that do not form a character become U+FFFD.
std::string AnsiToUtf8(std::string_view ansi);

// Characters the code page lacks, and bytes that are not UTF-8, become '?', as Windows does.
std::string Utf8ToAnsi(std::string_view utf8);

// The bytes without a lead byte left alone at the end, so that a cut never splits a
// double-byte character.
std::string_view WholeAnsiCharacters(std::string_view ansi);

// The first count characters (code points) of a UTF-8 text.
std::string_view FirstCharacters(std::string_view utf8, std::size_t count);

} // namespace tallymark
