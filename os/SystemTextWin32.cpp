// What the system says, on Windows.

#include "os/SystemText.h"

#include <windows.h>

#include <string_view>

#include "os/WideText.h"

namespace tallymark {

namespace {

// The system's text ends in a line break.
template <typename Text>
Text WithoutLineBreak(Text text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string SystemErrorText(unsigned long code)
{
    wchar_t* text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = FromWide(CP_UTF8, WithoutLineBreak(std::wstring_view(text, text ? length : 0)));
    LocalFree(text);
    return reason;
}

std::string AnsiSystemErrorText(unsigned long code)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    return std::string(WithoutLineBreak(std::string_view(text, length)));
}

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    const std::string reason = SystemErrorText(code);
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

} // namespace tallymark
