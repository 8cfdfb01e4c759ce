// What the system says, on Windows.

#include "os/SystemText.h"

#include <windows.h>

#include <string_view>

#include "os/WideText.h"

namespace tallymark {

std::string SystemErrorText(unsigned long code, unsigned codePage)
{
    wchar_t* text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view words(text, text ? length : 0);
    // The system's text ends in a line break.
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.remove_suffix(1);
    std::string reason = FromWide(codePage, words);
    LocalFree(text);
    return reason;
}

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    const std::string reason = SystemErrorText(code, CP_UTF8);
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

} // namespace tallymark
