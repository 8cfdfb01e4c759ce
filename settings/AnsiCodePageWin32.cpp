// The system's ANSI code page through kernel32, on Windows.

#include "settings/AnsiCodePage.h"

#include <windows.h>

#include "os/WideText.h"

namespace tallymark {

bool IsAnsiLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string AnsiToUtf8(std::string_view ansi)
{
    return FromWide(CP_UTF8, ToWide(CP_ACP, ansi));
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    return FromWide(CP_ACP, ToWide(CP_UTF8, utf8));
}

std::string PathToUtf8(std::string_view path)
{
    return AnsiToUtf8(path);
}

} // namespace tallymark
