// The serial component's own Windows code on a real communications device: Wine's COMn,
// linked by tools/wine-check to a pseudo-terminal whose other end a Linux process reads.
// A whole send runs through the send operation: the device name "\\.\COMn", the line
// settings, DTR, the pending count through ClearCommError and the drain before closing.
//
//   wine_serial.exe PORT MISSING
// PORT: the port number linked to the pseudo-terminal. MISSING: a port number that has no
// device. The bytes sent are printed as "sent: XX XX ..." for the other end to compare.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/DisplayRecord.h"
#include "link/PortDiscovery.h"
#include "link/LineSettings.h"
#include "link/PortNames.h"
#include "link/SendOperation.h"
#include "link/WinComm.h"
#include "support/Check.h"
#include "tests/support/ListedPorts.h"

using namespace tallymark;

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw SerialError(what + ": error " + std::to_string(::GetLastError()));
}

// The serial component in plain Win32, the way the panel's component treats the device on
// Windows: opened for overlapped writes that return at once, the pending count and DTR
// through the Windows helpers, and every queued byte drained before the handle closes.
class Win32SerialPort final : public SerialPort {
public:
    ~Win32SerialPort() override
    {
        try {
            SetPortOpen(false);
        } catch (const SerialError&) {
        }
    }

    void SetCommPort(std::int16_t port) override
    {
        if (IsOpen())
            throw SerialError("the port number cannot change while the port is open");
        port_ = port;
    }
    std::int16_t CommPort() const override { return port_; }
    void SetSettings(const std::string& settings) override
    {
        ParseLineSettings(settings);
        settings_ = settings;
    }
    std::string Settings() const override { return settings_; }

    void SetPortOpen(bool open) override
    {
        if (open == IsOpen())
            return;
        if (open)
            Open();
        else
            Close();
    }
    bool PortOpen() const override { return IsOpen(); }

    void SetDTREnable(bool enable) override
    {
        dtr_ = enable;
        if (IsOpen())
            win::SetDtr(handle_, enable);
    }

    void Output(std::string_view text) override { Write(text.data(), text.size()); }
    void Output(std::span<const std::uint8_t> bytes) override
    {
        Write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    int OutBufferCount() override
    {
        if (!IsOpen())
            throw SerialError("the port is not open");
        Reap(false);
        return win::PendingOutput(handle_);
    }

    void DiscardOutput() override
    {
        if (!IsOpen())
            throw SerialError("the port is not open");
        if (!::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR))
            Fail("discarding the output");
        Reap(false);
    }

    HANDLE Handle() const { return handle_; }

private:
    struct Write_ {
        OVERLAPPED overlapped{};
        std::string bytes;
    };

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

    void Open()
    {
        const LineSettings line = ParseLineSettings(settings_);
        const std::string device = PortDevicePath(port_, "");
        if (device.empty())
            throw SerialError("no device for port " + std::to_string(port_));
        const HANDLE handle = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            Fail("opening " + device);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(handle, &dcb)) {
            ::CloseHandle(handle);
            Fail("reading the line settings of " + device);
        }
        dcb.BaudRate = static_cast<DWORD>(line.baudRate);
        dcb.ByteSize = static_cast<BYTE>(line.dataBits);
        dcb.Parity = line.parity == Parity::None ? NOPARITY
                   : line.parity == Parity::Even ? EVENPARITY
                   : line.parity == Parity::Odd  ? ODDPARITY
                   : line.parity == Parity::Mark ? MARKPARITY
                                                 : SPACEPARITY;
        dcb.StopBits = line.stopBits == StopBits::One ? ONESTOPBIT
                     : line.stopBits == StopBits::Two ? TWOSTOPBITS
                                                      : ONE5STOPBITS;
        dcb.fBinary = TRUE;
        dcb.fParity = line.parity != Parity::None;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = dtr_ ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        if (!::SetCommState(handle, &dcb)) {
            ::CloseHandle(handle);
            Fail("applying " + settings_ + " to " + device);
        }
        handle_ = handle;
        try {
            win::SetDtr(handle_, dtr_);
        } catch (const SerialError&) {
            Close();
            throw;
        }
    }

    void Close()
    {
        std::string failure;
        if (!Reap(true))
            failure = "queued bytes could not be sent";
        if (failure.empty()) {
            try {
                win::Drain(handle_);
            } catch (const SerialError& error) {
                failure = error.what();
            }
        }
        ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        writes_.clear();
        if (!failure.empty())
            throw SerialError("closing: " + failure);
    }

    void Write(const char* data, std::size_t size)
    {
        if (!IsOpen())
            throw SerialError("the port is not open");
        auto write = std::make_unique<Write_>();
        write->bytes.assign(data, size);
        write->overlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!write->overlapped.hEvent)
            Fail("creating a write event");
        if (!::WriteFile(handle_, write->bytes.data(), static_cast<DWORD>(size), nullptr, &write->overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            const DWORD error = ::GetLastError();
            ::CloseHandle(write->overlapped.hEvent);
            ::SetLastError(error);
            Fail("writing");
        }
        writes_.push_back(std::move(write));
    }

    // Collects finished writes; with `wait`, waits for all of them (ten seconds at most).
    // False when a write failed or did not finish.
    bool Reap(bool wait)
    {
        bool ok = true;
        for (auto it = writes_.begin(); it != writes_.end();) {
            Write_& write = **it;
            if (wait && ::WaitForSingleObject(write.overlapped.hEvent, 10'000) != WAIT_OBJECT_0) {
                ::CancelIo(handle_);
                ok = false;
            }
            DWORD written = 0;
            if (!::GetOverlappedResult(handle_, &write.overlapped, &written, FALSE)) {
                if (::GetLastError() == ERROR_IO_INCOMPLETE && !wait) {
                    ++it;
                    continue;
                }
                ok = false;
            } else if (written != write.bytes.size()) {
                ok = false;
            }
            ::CloseHandle(write.overlapped.hEvent);
            it = writes_.erase(it);
        }
        return ok;
    }

    std::int16_t port_ = 1;
    std::string settings_ = "9600,n,8,1";
    bool dtr_ = false;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::vector<std::unique_ptr<Write_>> writes_;
};

class Window final : public SendWindow {
public:
    std::string comSele;
    PanelSettings settings;
    std::vector<std::string> messages;
    std::vector<int> progress;
    std::function<void()> onDoEvents;

    std::string ComSeleText() const override { return comSele; }
    void ShowMessage(std::string_view text, std::string_view title) override
    {
        messages.push_back(std::string(title) + ": " + std::string(text));
    }
    void SetProgressMax(int) override {}
    void SetProgressMin(int) override {}
    void SetProgressValue(int value) override { progress.push_back(value); }
    void DoEvents() override
    {
        ++doEvents;
        if (onDoEvents)
            onDoEvents();
    }
    PanelSettings CurrentSettings() const override { return settings; }

    int doEvents = 0;
};

// The device as the send sees it, recording every pending count the send reads.
class ObservedPort final : public SerialPort {
public:
    explicit ObservedPort(Win32SerialPort& port) : port_(port) {}
    std::vector<int> counts;

    void SetCommPort(std::int16_t n) override { port_.SetCommPort(n); }
    std::int16_t CommPort() const override { return port_.CommPort(); }
    void SetSettings(const std::string& s) override { port_.SetSettings(s); }
    std::string Settings() const override { return port_.Settings(); }
    void SetPortOpen(bool open) override { port_.SetPortOpen(open); }
    bool PortOpen() const override { return port_.PortOpen(); }
    void SetDTREnable(bool enable) override { port_.SetDTREnable(enable); }
    void Output(std::string_view text) override { port_.Output(text); }
    void Output(std::span<const std::uint8_t> bytes) override { port_.Output(bytes); }
    void DiscardOutput() override { port_.DiscardOutput(); }
    int OutBufferCount() override
    {
        const int count = port_.OutBufferCount();
        counts.push_back(count);
        return count;
    }

private:
    Win32SerialPort& port_;
};

void SendThroughTheDevice(int portNumber)
{
    // Chosen so that the line carries LF, CR, XON, XOFF and NUL: a line that is not
    // fully raw would add, drop or translate some of them.
    Window window;
    window.comSele = "COM" + std::to_string(portNumber);
    window.settings = {"2826", false, "8", 0, 13, 17 * 60 + 10};
    const TimeOfDay time{13, 4, 0};
    const std::string expected = "48 65 6C 6C 6F 00 04 13 0B 0A 00 00 0D 11 0A";

    Win32SerialPort device;
    ObservedPort port(device);
    SendOperation send(port, window, [=] { return time; });

    // While the line drains the window keeps turning; the first turn also looks at the
    // line settings of the open port.
    bool settingsChecked = false;
    bool abandoned = false;
    const auto started = std::chrono::steady_clock::now();
    window.onDoEvents = [&] {
        // The wait has no limit of its own; a count that never falls must not hang the check.
        if (!abandoned && std::chrono::steady_clock::now() - started > std::chrono::seconds(20)) {
            abandoned = true;
            send.Abandon();
        }
        if (!settingsChecked) {
            settingsChecked = true;
            DCB dcb{};
            dcb.DCBlength = sizeof dcb;
            check::True("reading the line settings of the open port", ::GetCommState(device.Handle(), &dcb) != FALSE);
            check::Equal("open port: baud rate", static_cast<int>(dcb.BaudRate), 9600);
            check::Equal("open port: data bits", static_cast<int>(dcb.ByteSize), 8);
            check::Equal("open port: parity", static_cast<int>(dcb.Parity), NOPARITY);
            check::Equal("open port: stop bits", static_cast<int>(dcb.StopBits), ONESTOPBIT);
        }
    };

    send.CmdSndClk_Click(1);

    check::True("send: the pending count fell to 0 within 20 seconds", !abandoned);
    check::Equal("send: messages", static_cast<int>(window.messages.size()), 0);
    for (const auto& message : window.messages)
        std::printf("      message: %s\n", message.c_str());
    check::True("send: the window turned while the line drained", window.doEvents >= 1);
    check::True("send: the pending count was read", !port.counts.empty());
    check::Equal("send: the pending count ended at 0", port.counts.empty() ? -1 : port.counts.back(), 0);
    check::True("send: the port is closed afterwards", !device.PortOpen());
    check::Equal("send: progress", static_cast<int>(window.progress.size()), 3);

    // What the send queued, worked out independently of the line.
    const DisplayRecord record = BuildDisplayRecord(window.settings, 1, [=] { return time; });
    const std::string update = std::string(Greeting) + std::string(record.begin(), record.end());
    check::Equal("send: the update", check::Hex(update), expected);
    std::printf("sent: %s\n", check::Hex(update).c_str());
    std::fflush(stdout);
}

void MissingPort(int portNumber)
{
    Window window;
    window.comSele = "COM" + std::to_string(portNumber);
    Win32SerialPort device;
    SendOperation send(device, window, [] { return TimeOfDay{}; });
    send.CmdSndClk_Click(1);
    check::Equal("port without a device: the open failure message",
                 window.messages.empty() ? std::string() : window.messages.front(),
                 std::string(Messages::OpenFailedTitle) + ": " + std::string(Messages::OpenFailed));
    check::True("port without a device: closed", !device.PortOpen());
}

// The start-up scan over Wine's real devices: the linked port opens and, being the highest
// number there is, is the one shown; the port without a device is left out; no port is
// left open behind the scan.
void Scan(int portNumber, int missing)
{
    Win32SerialPort device;
    tallymark::testing::ListedPorts list;
    ScanComPorts(device, list);
    std::string listed;
    for (const auto& item : list.items)
        listed += (listed.empty() ? "" : " ") + item;
    std::printf("scan listed: %s\n", listed.c_str());
    const auto has = [&](int n) {
        return std::find(list.items.begin(), list.items.end(), "COM" + std::to_string(n)) != list.items.end();
    };
    check::True("scan: the linked port is listed", has(portNumber));
    check::True("scan: the port without a device is not", !has(missing));
    check::Equal("scan: the highest port is shown", list.text, "COM" + std::to_string(portNumber));
    check::True("scan: no port left open", !device.PortOpen());
}

// A communications device opens once: a second opening, as by another program, fails, so
// that a send meets "in use" and the port scan leaves a held port out. Wine's serial
// devices are not exclusive, so under Wine this is a known deviation.
void SecondOpeningRefused(int portNumber, bool onWine)
{
    const std::string device = PortDevicePath(portNumber, "");
    const HANDLE holder =
        ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (!check::True("holding " + device, holder != INVALID_HANDLE_VALUE))
        return;
    const HANDLE second = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr);
    const DWORD error = ::GetLastError();
    if (second != INVALID_HANDLE_VALUE)
        ::CloseHandle(second);
    ::CloseHandle(holder);
    check::Case row("second opening of a held port is refused", onWine);
    row.Equal("opened", second != INVALID_HANDLE_VALUE, false);
    row.Equal("error", static_cast<int>(second == INVALID_HANDLE_VALUE ? error : 0), ERROR_ACCESS_DENIED);
}

void HelpersOnAGoneDevice()
{
    // A handle that is no device any more: the helpers report it instead of a count of 0.
    bool pendingThrew = false;
    try {
        win::PendingOutput(INVALID_HANDLE_VALUE);
    } catch (const SerialError&) {
        pendingThrew = true;
    }
    check::True("pending count of a gone device fails", pendingThrew);
    bool drainThrew = false;
    try {
        win::Drain(INVALID_HANDLE_VALUE);
    } catch (const SerialError&) {
        drainThrew = true;
    }
    check::True("drain of a gone device fails", drainThrew);
}

// Wine reports itself through ntdll's wine_get_version; Windows has no such export.
bool RunningOnWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: wine_serial PORT MISSING\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int missing = std::atoi(argv[2]);
    try {
        Scan(port, missing);
        SendThroughTheDevice(port);
        SecondOpeningRefused(port, RunningOnWine());
        MissingPort(missing);
        HelpersOnAGoneDevice();
    } catch (const std::exception& error) {
        check::True(std::string("unexpected exception: ") + error.what(), false);
    }
    return check::Finish("serial");
}
