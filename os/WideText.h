#pragma once
// Text between the panel's UTF-8 and Windows's UTF-16, and between UTF-16 and a code page:
// the window's W functions and the settings file's ANSI bytes both pass here. Windows only.

#include <string>
#include <string_view>

namespace tallymark {

// Bytes that do not form a character in the code page become U+FFFD.
std::wstring ToWide(unsigned codePage, std::string_view text);
// Characters the code page lacks become its default character ('?'). Given `lossy`, no
// best-fit character (an "a" for an "ä") stands in for one either, and *lossy tells
// whether any character was replaced; not for UTF-8, which spells every character.
std::string FromWide(unsigned codePage, std::wstring_view wide, bool* lossy = nullptr);

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

} // namespace tallymark
