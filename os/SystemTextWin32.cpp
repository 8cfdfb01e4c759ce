// What the system says, on Windows.

#include "os/SystemText.h"

#include <windows.h>

namespace tallymark {

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const int length = static_cast<int>(
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr));
    std::string reason(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, reason.data(), static_cast<int>(reason.size()), nullptr, nullptr);
    LocalFree(text);
    // The system's text ends in a line break.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

} // namespace tallymark
