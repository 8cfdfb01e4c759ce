// What the system says, on Windows.

#include "os/SystemText.h"

#include <windows.h>

namespace tallymark {
namespace {

std::string Utf8Of(const wchar_t* text, int length)
{
    std::string utf8(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

} // namespace

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length ? Utf8Of(text, static_cast<int>(length)) : "error " + std::to_string(code);
    LocalFree(text);
    // The system's text ends in a line break.
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

std::string PathText(const std::string& path)
{
    std::wstring wide(static_cast<std::size_t>(
                          MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return Utf8Of(wide.data(), static_cast<int>(wide.size()));
}

} // namespace tallymark
