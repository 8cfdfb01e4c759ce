#include "link/win/Win32SerialPort.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <optional>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "link/LineSettings.h"
#include "link/PortNames.h"
#include "os/SystemText.h"

namespace tallymark {

namespace {

// How long a write may take beyond the time its bytes need at the line's baud rate. The
// port uses no flow control, so a working line never makes a write wait; a line that does
// has stopped (held by the device, or gone with an adapter whose driver does not notice).
constexpr DWORD WritePatienceMs = 10'000;

// How much longer than the driver's own limit a wait trusts the driver to end a write.
constexpr DWORD DriverGraceMs = 2'000;

// How long a write that has been cancelled may take to end.
constexpr DWORD CancelPatienceMs = 2'000;

// The system's own text for an error, in its language, with the number.
std::string SystemText(DWORD error)
{
    std::string message = AnsiSystemErrorText(error);
    while (!message.empty() && std::string_view("\r\n .").find(message.back()) != std::string_view::npos)
        message.pop_back();
    return (message.empty() ? "error" : message) + " (" + std::to_string(error) + ")";
}

// Windows tells a missing port, and a port another program has open (the share mode of
// every serial port is none), apart from the rest.
OpenFailure OpenFailureOf(const std::string& device, DWORD error)
{
    OpenFailure failure{OpenRefusal::Other, device};
    failure.systemText = SystemText(error);
    if (error == ERROR_FILE_NOT_FOUND)
        failure.reason = OpenRefusal::NoDevice;
    else if (error == ERROR_ACCESS_DENIED)
        failure.reason = OpenRefusal::HeldByProgram;
    return failure;
}

[[noreturn]] void Fail(const std::string& operation, DWORD error)
{
    throw SerialError(operation + ": " + SystemText(error));
}

// The driver has no modem-control function; some USB and virtual ports answer DTR so.
bool NoModemLines(DWORD error)
{
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER;
}

BYTE DcbParity(Parity parity)
{
    switch (parity) {
    case Parity::Even: return EVENPARITY;
    case Parity::Odd: return ODDPARITY;
    case Parity::Mark: return MARKPARITY;
    case Parity::Space: return SPACEPARITY;
    case Parity::None: break;
    }
    return NOPARITY;
}

BYTE DcbStopBits(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::OneAndHalf: return ONE5STOPBITS;
    case StopBits::Two: return TWOSTOPBITS;
    case StopBits::One: break;
    }
    return ONESTOPBIT;
}

// A driver's settings in the form the component takes them, "9600,n,8,1".
std::string SettingsText(const DCB& dcb)
{
    constexpr std::string_view parities = "noems"; // NOPARITY, ODDPARITY, ... SPACEPARITY
    constexpr const char* stopBits[] = {"1", "1.5", "2"};
    return std::to_string(dcb.BaudRate) + "," + (dcb.Parity < parities.size() ? parities[dcb.Parity] : '?') + ","
         + std::to_string(dcb.ByteSize) + "," + (dcb.StopBits < 3 ? stopBits[dcb.StopBits] : "?");
}

// Twice the time of the longest frame the settings allow (start bit, data bits, parity bit,
// two stop bits), in whole milliseconds.
DWORD MillisecondsPerByte(const LineSettings& line)
{
    const int bits = 1 + line.dataBits + (line.parity == Parity::None ? 0 : 1) + 2;
    return static_cast<DWORD>((2 * bits * 1000 + line.baudRate - 1) / line.baudRate);
}

// Raw bytes, no flow control of any kind, DTR as asked. The device has to carry the four
// line settings exactly: some take settings they cannot make and quietly use others (Wine
// turns 1.5 stop bits into 2 unless there are 5 data bits; a pseudo-terminal keeps 8 data
// bits and no parity whatever it is told), so they are read back.
void ApplyLine(HANDLE handle, const LineSettings& line, const std::string& text, bool dtr, const std::string& name)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb))
        Fail("reading the line settings of " + name, ::GetLastError());
    dcb.BaudRate = static_cast<DWORD>(line.baudRate);
    dcb.ByteSize = static_cast<BYTE>(line.dataBits);
    dcb.Parity = DcbParity(line.parity);
    dcb.StopBits = DcbStopBits(line.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = line.parity != Parity::None;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
    const std::string applying = "applying \"" + text + "\" to " + name;
    if (!::SetCommState(handle, &dcb))
        Fail(applying, ::GetLastError());

    DCB held{};
    held.DCBlength = sizeof held;
    if (!::GetCommState(handle, &held))
        Fail("reading the line settings of " + name, ::GetLastError());
    if (held.BaudRate != dcb.BaudRate || held.ByteSize != dcb.ByteSize || held.Parity != dcb.Parity
        || held.StopBits != dcb.StopBits)
        throw SerialError(applying + ": the device took " + SettingsText(held) + " instead");
}

// How a write ended: empty when every byte went, otherwise why not; no value while it runs.
std::optional<std::string> Outcome(HANDLE handle, OVERLAPPED& overlapped, std::size_t size)
{
    DWORD written = 0;
    if (!::GetOverlappedResult(handle, &overlapped, &written, FALSE)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE)
            return std::nullopt;
        return "writing: " + SystemText(error);
    }
    // A write that runs out of time ends as a success with the bytes the line took by then.
    if (written < size)
        return "the line took " + std::to_string(written) + " of " + std::to_string(size)
             + " bytes in the time allowed";
    return std::string();
}

} // namespace

struct Win32SerialPort::PendingWrite {
    OVERLAPPED overlapped{};
    std::vector<std::uint8_t> bytes;

    ~PendingWrite()
    {
        if (overlapped.hEvent)
            ::CloseHandle(overlapped.hEvent);
    }
};

Win32SerialPort::Win32SerialPort() : handle_(INVALID_HANDLE_VALUE) { }

Win32SerialPort::~Win32SerialPort()
{
    try {
        Close();
    } catch (const std::exception&) {
        // Going away regardless; the device has been let go of all the same.
    }
}

bool Win32SerialPort::PortOpen() const
{
    return handle_ != INVALID_HANDLE_VALUE;
}

void Win32SerialPort::ApplyDtr(bool raised)
{
    if (!::EscapeCommFunction(handle_, raised ? SETDTR : CLRDTR)) {
        const DWORD error = ::GetLastError();
        if (!NoModemLines(error))
            Fail(std::string(raised ? "raising" : "dropping") + " DTR on " + Name(), error);
    }
}

int Win32SerialPort::OutBufferCount()
{
    RequireOpen("reading the output count");
    Reap();
    if (!failure_.empty())
        throw SerialError("reading the output count of " + Name() + ": " + failure_);
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle_, &errors, &status))
        Fail("reading the output queue of " + Name(), ::GetLastError());
    // Windows' own driver counts the writes under way in its queue as well, so they may be
    // counted twice: the count errs high only, and is 0 exactly when everything has gone.
    std::size_t pending = status.cbOutQue;
    for (const auto& write : writes_)
        pending += write->bytes.size();
    return static_cast<int>(std::min<std::size_t>(pending, std::numeric_limits<int>::max()));
}

void Win32SerialPort::DiscardOutput()
{
    RequireOpen("discarding the output");
    if (!::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR))
        Fail("discarding the output of " + Name(), ::GetLastError());
    if (!CancelWrites())
        throw SerialError("discarding the output of " + Name() + ": a write under way did not end");
}

void* Win32SerialPort::Handle() const
{
    return handle_;
}

void Win32SerialPort::Open()
{
    RequireClosed("opening");
    const LineSettings line = ParseLineSettings(Settings());
    const std::string device = PortDevicePath(CommPort(), {});
    // Share mode 0: no other program opens the port while the panel holds it.
    const HANDLE handle = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // The operator knows the port by its own name, without the device namespace.
        throw PortOpenError(OpenFailureOf(Name(), error),
                            "opening " + Name() + " (" + device + "): " + SystemText(error));
    }
    const DWORD msPerByte = MillisecondsPerByte(line);
    try {
        ApplyLine(handle, line, Settings(), DtrEnable(), Name());
        // Reads are never made; the write limits end a write on a line that has stopped.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.WriteTotalTimeoutMultiplier = msPerByte;
        timeouts.WriteTotalTimeoutConstant = WritePatienceMs;
        if (!::SetCommTimeouts(handle, &timeouts))
            Fail("setting the write time limits of " + Name(), ::GetLastError());
    } catch (const SerialError&) {
        ::CloseHandle(handle);
        throw;
    }
    handle_ = handle;
    msPerByte_ = static_cast<int>(msPerByte);
    failure_.clear();
}

void Win32SerialPort::Close()
{
    if (!PortOpen())
        return;
    std::string failure = failure_;
    if (failure.empty())
        failure = FinishWrites();
    if (failure.empty())
        failure = WaitForEmptyQueue();
    // With every write done and the queue empty, this waits for the driver's last bytes only.
    if (failure.empty() && !::FlushFileBuffers(handle_))
        failure = "waiting for the output to drain: " + SystemText(::GetLastError());
    if (!failure.empty()) {
        // Nothing left behind may hold the device open.
        ::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
        if (!CancelWrites()) {
            // The driver still uses the buffer and event of a write it has not let go of:
            // they are left to it rather than freed under it.
            for (auto& write : writes_)
                static_cast<void>(write.release());
            writes_.clear();
        }
    }
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    failure_.clear();
    if (!failure.empty())
        throw SerialError("closing " + Name() + ": " + failure);
}

void Win32SerialPort::Write(const char* data, std::size_t size)
{
    RequireOpen("output");
    if (!failure_.empty())
        throw SerialError("output to " + Name() + ": " + failure_);
    if (size == 0)
        return;
    if (size > std::numeric_limits<DWORD>::max())
        throw SerialError("output to " + Name() + ": too many bytes at once");
    auto write = std::make_unique<PendingWrite>();
    const auto* first = reinterpret_cast<const std::uint8_t*>(data);
    write->bytes.assign(first, first + size);
    write->overlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!write->overlapped.hEvent)
        Fail("output to " + Name(), ::GetLastError());
    if (!::WriteFile(handle_, write->bytes.data(), static_cast<DWORD>(size), nullptr, &write->overlapped)
        && ::GetLastError() != ERROR_IO_PENDING)
        Fail("output to " + Name(), ::GetLastError());
    writes_.push_back(std::move(write));
}

// Drops the writes that have ended; the first failure among them breaks the line.
void Win32SerialPort::Reap()
{
    std::erase_if(writes_, [&](const std::unique_ptr<PendingWrite>& write) {
        const std::optional<std::string> outcome = Outcome(handle_, write->overlapped, write->bytes.size());
        if (outcome && !outcome->empty() && failure_.empty())
            failure_ = *outcome;
        return outcome.has_value();
    });
}

// Waits for the writes in the order the driver takes them. The driver ends each within its
// write limits; a write it does not end within a little more is taken as lost.
std::string Win32SerialPort::FinishWrites()
{
    while (!writes_.empty()) {
        PendingWrite& write = *writes_.front();
        const DWORD bound
            = WritePatienceMs + static_cast<DWORD>(msPerByte_) * static_cast<DWORD>(write.bytes.size()) + DriverGraceMs;
        if (::WaitForSingleObject(write.overlapped.hEvent, bound) != WAIT_OBJECT_0)
            return "a write did not end within " + std::to_string(bound / 1000) + " seconds";
        const std::string failure
            = Outcome(handle_, write.overlapped, write.bytes.size()).value_or("a write did not end");
        writes_.erase(writes_.begin());
        if (!failure.empty())
            return failure;
    }
    return {};
}

// What the driver still queues leaves at the line's pace; a queue that does not empty in that
// time and the write patience has stopped.
std::string Win32SerialPort::WaitForEmptyQueue()
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle_, &errors, &status))
        return "reading the output queue: " + SystemText(::GetLastError());
    const ULONGLONG deadline = ::GetTickCount64() + WritePatienceMs + ULONGLONG(msPerByte_) * status.cbOutQue;
    while (status.cbOutQue > 0) {
        if (::GetTickCount64() >= deadline)
            return std::to_string(status.cbOutQue) + " bytes did not leave in the time allowed";
        ::Sleep(1);
        if (!::ClearCommError(handle_, &errors, &status))
            return "reading the output queue: " + SystemText(::GetLastError());
    }
    return {};
}

// Ends the writes still under way and forgets them; false when the driver keeps one.
// Windows' PURGE_TXABORT cancels them by itself, Wine's does not.
bool Win32SerialPort::CancelWrites()
{
    if (writes_.empty())
        return true;
    ::CancelIoEx(handle_, nullptr);
    std::erase_if(writes_, [](const std::unique_ptr<PendingWrite>& write) {
        return ::WaitForSingleObject(write->overlapped.hEvent, CancelPatienceMs) == WAIT_OBJECT_0;
    });
    return writes_.empty();
}

} // namespace tallymark
