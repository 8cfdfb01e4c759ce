#include "link/WinComm.h"

#include <string>
#include <string_view>
#include <system_error>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "link/SerialPort.h"

namespace tallymark::win {

namespace {

[[noreturn]] void Fail(std::string_view what, DWORD error)
{
    throw SerialError(std::string(what) + ": " + std::system_category().message(static_cast<int>(error)));
}

// The driver has no such function; some virtual and USB ports answer DTR requests so.
bool NotSupported(DWORD error)
{
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

} // namespace

int PendingOutput(void* handle)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(static_cast<HANDLE>(handle), &errors, &status))
        Fail("reading the output queue", ::GetLastError());
    return static_cast<int>(status.cbOutQue);
}

void Drain(void* handle)
{
    if (!::FlushFileBuffers(static_cast<HANDLE>(handle)))
        Fail("waiting for the output to drain", ::GetLastError());
}

void SetDtr(void* handle, bool raised)
{
    if (!::EscapeCommFunction(static_cast<HANDLE>(handle), raised ? SETDTR : CLRDTR)) {
        const DWORD error = ::GetLastError();
        if (!NotSupported(error))
            Fail(raised ? "raising DTR" : "dropping DTR", error);
    }
}

} // namespace tallymark::win
