#include "settings/WideText.h"

#include <windows.h>

namespace tallymark {

std::wstring ToWide(unsigned codePage, std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string FromWide(unsigned codePage, std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    std::string text(WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    return text;
}

std::wstring Utf8ToWide(std::string_view utf8)
{
    return ToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(std::wstring_view wide)
{
    return FromWide(CP_UTF8, wide);
}

} // namespace tallymark
