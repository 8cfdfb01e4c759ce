// The Win32 serial component on a real communications device: Wine's COMn, linked by
// tools/wine-check to a pseudo-terminal whose other end a Linux process reads and, when
// asked, holds (as a device's XOFF does) or hangs up.
//
//   wine_serial.exe PORT MISSING REQUESTS
// PORT: the port number linked to the pseudo-terminal. MISSING: a port number that has no
// device. REQUESTS: the far end's request folder (wine/support/pty_reader.cpp). Every update
// that should reach the other end is printed as "sent: XX XX ..." for it to compare.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "link/DisplayRecord.h"
#include "link/PortDiscovery.h"
#include "link/PortNames.h"
#include "link/SendOperation.h"
#include "link/win/Win32SerialPort.h"
#include "support/Check.h"
#include "tests/support/RecordingSendWindow.h"

using namespace tallymark;

namespace {

// The drain wait has no limit of its own; a count that never falls must not hang the check,
// so a send is given up after 20 seconds.
struct Patience {
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    bool gaveUp = false;

    void Watch(testing::RecordingSendWindow& window, SendOperation& send, std::function<void()> each = {})
    {
        window.onDoEvents = [this, &send, each] {
            if (!gaveUp && std::chrono::steady_clock::now() - started > std::chrono::seconds(20)) {
                gaveUp = true;
                send.Abandon();
            }
            if (each)
                each();
        };
    }
};

// The device as the send sees it, recording every pending count the send reads.
class ObservedPort final : public SerialPort {
public:
    explicit ObservedPort(Win32SerialPort& port) : port_(port) {}
    std::vector<int> counts;
    std::string countError; // what ended the counting, if anything

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
        try {
            counts.push_back(port_.OutBufferCount());
        } catch (const SerialError& error) {
            countError = error.what();
            throw;
        }
        return counts.back();
    }

private:
    Win32SerialPort& port_;
};

// The reader at the far end, asked through its request folder; a request is done once its
// file is gone.
class FarEnd {
public:
    explicit FarEnd(std::string folder) : folder_(std::move(folder)) {}

    void Ask(const std::string& request)
    {
        const std::string path = folder_ + "\\" + request;
        const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        check::True("asking the far end to " + request, file != INVALID_HANDLE_VALUE && ::CloseHandle(file));
        for (int i = 0; i < 500 && ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
            ::Sleep(10);
        check::True("the far end did " + request, ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES);
    }

private:
    std::string folder_;
};

// What the step failed with; empty when it did not fail.
std::string ErrorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const SerialError& error) {
        return error.what();
    }
    return {};
}

// A whole send through the send operation; `held` holds the line from before the click until
// the send has read a count covering the whole update, so that the writes are still under
// way when the count is read, and then lets it flow. The bytes that arrive must be the
// update, in order, once.
void SendThroughTheDevice(int portNumber, FarEnd& farEnd, const char* name, bool held)
{
    // Chosen so that the line carries LF, CR, XON, XOFF and NUL: a line that is not
    // fully raw would add, drop or translate some of them.
    testing::RecordingSendWindow window;
    window.comSele = "COM" + std::to_string(portNumber);
    window.settings = {"2826", false, "8", 0, 13, 17 * 60 + 10};
    const TimeOfDay time{13, 4, 0};
    const std::string what = std::string("send over ") + name;

    Win32SerialPort device;
    ObservedPort port(device);
    SendOperation send(port, window, [=] { return time; });

    bool released = !held;
    Patience patience;
    patience.Watch(window, send, [&] {
        if (!released && !port.counts.empty()) {
            check::True(what + ": the count covers the update under way", port.counts.back() >= 15);
            released = true;
            farEnd.Ask("release");
        }
    });

    if (held)
        farEnd.Ask("hold");
    const SendResult result = send.CmdSndClk_Click(1);

    check::True(what + ": the count fell to 0 within 20 seconds", !patience.gaveUp);
    check::Equal(what + ": sent", static_cast<int>(result), static_cast<int>(SendResult::Sent));
    check::Equal(what + ": the last count", port.counts.empty() ? -1 : port.counts.back(), 0);
    check::True(what + ": closed afterwards", !device.PortOpen());
    check::Equal(what + ": progress", static_cast<int>(window.ProgressValues().size()), 3);

    // What the send queued, worked out independently of the line.
    const DisplayRecord record = BuildDisplayRecord(window.settings, 1, [=] { return time; });
    const std::string update = std::string(Greeting) + std::string(record.begin(), record.end());
    check::Equal(what + ": the update", check::Hex(update), "48 65 6C 6C 6F 00 04 13 0B 0A 00 00 0D 11 0A");
    std::printf("sent: %s\n", check::Hex(update).c_str());
    std::fflush(stdout);
}

// The line settings the device holds once open are the ones asked for, or opening fails
// and leaves the port closed. A pseudo-terminal carries 8 data bits without parity only.
void LineSettingsCarried(int portNumber)
{
    struct Row {
        const char* settings;
        bool opens;
        DWORD baudRate;
        BYTE stopBits;
    };
    const Row rows[] = {
        {"9600,n,8,1", true, 9600, ONESTOPBIT},
        {"115200,N,8,2", true, 115200, TWOSTOPBITS},
        {"9600,n,8,1.5", false, 0, 0}, // Wine would quietly send 2 stop bits
        {"9600,e,8,1", false, 0, 0},
        {"9600,n,7,1", false, 0, 0},
    };
    Win32SerialPort port;
    port.SetCommPort(static_cast<std::int16_t>(portNumber));
    for (const Row& row : rows) {
        const std::string what = std::string("line settings ") + row.settings;
        port.SetSettings(row.settings);
        const std::string error = ErrorOf([&] { port.SetPortOpen(true); });
        check::Equal(what + ": error", error.empty() ? "none" : error.substr(0, 9), row.opens ? "none" : "applying ");
        check::Equal(what + ": open", port.PortOpen(), row.opens);
        if (!port.PortOpen())
            continue;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        ::GetCommState(port.Handle(), &dcb);
        check::Equal(what + ": held", std::to_string(dcb.BaudRate) + " " + std::to_string(dcb.ByteSize) + " " +
                         std::to_string(dcb.Parity) + " " + std::to_string(dcb.StopBits),
                     std::to_string(row.baudRate) + " 8 " + std::to_string(NOPARITY) + " " + std::to_string(row.stopBits));
        port.SetPortOpen(false);
    }
}

// What the component refuses, and what it leaves as it was.
void Rules(int portNumber)
{
    Win32SerialPort port;
    const std::int16_t number = static_cast<std::int16_t>(portNumber);
    port.SetCommPort(number);
    struct Row {
        const char* what;
        bool open;
        std::function<void()> step;
        bool throws;
    };
    const Row rows[] = {
        {"port number 0", false, [&] { port.SetCommPort(0); }, true},
        {"port number beyond the highest", false, [&] { port.SetCommPort(HighestPortNumber + 1); }, true},
        {"closing a closed port", false, [&] { port.SetPortOpen(false); }, false},
        {"output while closed", false, [&] { port.Output("x"); }, true},
        {"another port number while open", true, [&] { port.SetCommPort(1); }, true},
        {"other line settings while open", true, [&] { port.SetSettings("19200,n,8,1"); }, true},
        {"opening an open port", true, [&] { port.SetPortOpen(true); }, true},
    };
    for (const Row& row : rows) {
        if (row.open != port.PortOpen())
            port.SetPortOpen(row.open);
        check::Equal(std::string(row.what) + ": refused", !ErrorOf(row.step).empty(), row.throws);
        check::Equal(std::string(row.what) + ": port number kept", port.CommPort(), number);
        check::Equal(std::string(row.what) + ": settings kept", port.Settings(), std::string("9600,n,8,1"));
        check::Equal(std::string(row.what) + ": open state kept", port.PortOpen(), row.open);
    }
}

// A held line and what ends the wait for it: giving the bytes up lets closing succeed at
// once; without that the write runs out of time, so that the count fails instead of
// staying up for ever, and closing fails. Nothing of either reaches the other end.
void HeldLine(int portNumber, FarEnd& farEnd)
{
    struct Row {
        const char* what;
        bool discard;
    };
    for (const Row row : {Row{"held line given up", true}, Row{"held line left to time out", false}}) {
        const std::string what = row.what;
        Win32SerialPort port;
        port.SetCommPort(static_cast<std::int16_t>(portNumber));
        farEnd.Ask("hold");
        port.SetPortOpen(true);
        port.Output("Hello, held line");
        check::Equal(what + ": count", port.OutBufferCount(), 16);
        if (row.discard)
            check::Equal(what + ": discarding", ErrorOf([&] { port.DiscardOutput(); }), "");
        std::string countError;
        for (int i = 0; i < 2000 && !row.discard && countError.empty(); ++i, ::Sleep(10))
            countError = ErrorOf([&] { port.OutBufferCount(); });
        check::Equal(what + ": the count failed within 20 seconds", !countError.empty(), !row.discard);
        const std::string error = ErrorOf([&] { port.SetPortOpen(false); });
        check::Equal(what + ": closing fails", !error.empty(), !row.discard);
        if (!error.empty())
            std::printf("      %s: %s\n", what.c_str(), error.c_str());
        check::True(what + ": closed", !port.PortOpen());
        farEnd.Ask("release");
    }
}

// The far end hangs up while the update waits on a held line: the count fails, so the
// drain wait ends, and the port closes.
void LineVanishes(int portNumber, FarEnd& farEnd)
{
    testing::RecordingSendWindow window;
    window.comSele = "COM" + std::to_string(portNumber);
    Win32SerialPort device;
    ObservedPort port(device);
    SendOperation send(port, window, [] { return TimeOfDay{}; });
    bool hungUp = false;
    Patience patience;
    patience.Watch(window, send, [&] {
        if (!hungUp && !port.counts.empty()) {
            hungUp = true;
            farEnd.Ask("hangup");
        }
    });
    farEnd.Ask("hold");
    send.CmdSndClk_Click(1);
    check::True("vanishing line: the count was read before", !port.counts.empty() && port.counts.front() > 0);
    check::True("vanishing line: the wait ended within 20 seconds", !patience.gaveUp);
    check::True("vanishing line: closed", !device.PortOpen());
    // The write failed with the line, not by running out of time later.
    std::printf("vanishing line: %s\n", port.countError.c_str());
    check::True("vanishing line: the count failed", !port.countError.empty());
    check::True("vanishing line: not by the time limit",
                port.countError.find("(" + std::to_string(ERROR_TIMEOUT) + ")") == std::string::npos);
}

void MissingPort(int portNumber)
{
    testing::RecordingSendWindow window;
    window.comSele = "COM" + std::to_string(portNumber);
    Win32SerialPort device;
    SendOperation send(device, window, [] { return TimeOfDay{}; });
    check::Equal("port without a device: refused", static_cast<int>(send.CmdSndClk_Click(1)),
                 static_cast<int>(SendResult::PortRefused));
    check::True("port without a device: closed", !device.PortOpen());
    // The reason travels with the refusal, by the name the operator knows.
    check::True("port without a device: no such port", send.Refusal() && send.Refusal()->reason == OpenRefusal::NoDevice
                                                             && send.Refusal()->device == "COM" + std::to_string(portNumber));

    // The error names the operation and says in the system's words what went wrong.
    const std::string name = "COM" + std::to_string(portNumber);
    const std::string error = ErrorOf([&] { device.SetPortOpen(true); });
    const std::string prefix = "opening " + name + " (\\\\.\\" + name + "): ";
    check::Equal("port without a device: the error's start", error.substr(0, prefix.size()), prefix);
    std::printf("port without a device: %s\n", error.c_str());
    check::True("port without a device: the system's text", error.size() > prefix.size() + 10 &&
                                                                error.compare(prefix.size(), 6, "error ") != 0);
}

// The start-up scan over Wine's real devices: the linked port opens and, being the highest
// number there is, is the one shown; the port without a device is left out; no port is
// left open behind the scan.
void Scan(int portNumber, int missing)
{
    Win32SerialPort device;
    tallymark::ListedPorts list;
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
    Win32SerialPort holder;
    Win32SerialPort second;
    holder.SetCommPort(static_cast<std::int16_t>(portNumber));
    second.SetCommPort(static_cast<std::int16_t>(portNumber));
    holder.SetPortOpen(true);
    const std::string error = ErrorOf([&] { second.SetPortOpen(true); });
    check::Case row("second opening of a held port is refused", onWine);
    row.Equal("opened", second.PortOpen(), false);
    row.Equal("error", error.find("(" + std::to_string(ERROR_ACCESS_DENIED) + ")") != std::string::npos, true);
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
    if (argc != 4) {
        std::fprintf(stderr, "usage: wine_serial PORT MISSING REQUESTS\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int missing = std::atoi(argv[2]);
    FarEnd farEnd(argv[3]);
    try {
        Scan(port, missing);
        SendThroughTheDevice(port, farEnd, "a free line", false);
        // The same port again, after the first send closed it.
        SendThroughTheDevice(port, farEnd, "a line held for a moment", true);
        LineSettingsCarried(port);
        Rules(port);
        SecondOpeningRefused(port, RunningOnWine());
        MissingPort(missing);
        HeldLine(port, farEnd);
        // Last: the far end is gone afterwards.
        LineVanishes(port, farEnd);
    } catch (const std::exception& error) {
        check::True(std::string("unexpected exception: ") + error.what(), false);
    }
    return check::Finish("serial");
}
