#include "os/WideText.h"

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

std::string FromWide(unsigned codePage, std::wstring_view wide, bool* lossy)
{
    const DWORD flags = lossy ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL replaced = FALSE;
    BOOL* const used = lossy ? &replaced : nullptr;
    std::string text;
    if (!wide.empty()) {
        const int size = static_cast<int>(wide.size());
        const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, used);
        text.resize(static_cast<std::size_t>(length));
        WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, used);
    }
    if (lossy)
        *lossy = replaced != FALSE;
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
