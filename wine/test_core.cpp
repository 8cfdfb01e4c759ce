// The update frame, the send and the port naming, built by the Windows compiler and run on
// Windows (Wine): the same results as on Linux, from the same source. The cases are the
// ones where the platforms could part: 32-bit long on Windows, the C runtime's number and
// time functions, and the device names of ports.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/DisplayRecord.h"
#include "link/LineSettings.h"
#include "link/LocalClock.h"
#include "link/PortNames.h"
#include "link/SendOperation.h"
#include "support/Check.h"
#include "tests/UpdateVectors.h"
#include "tests/SendOutcomes.h"

using namespace tallymark;

namespace {

Clock FixedClock(int hour, int minute, int second)
{
    return [=] { return TimeOfDay{hour, minute, second}; };
}

std::string UpdateHex(const PanelSettings& settings, std::int16_t index, const Clock& clock)
{
    const DisplayRecord record = BuildDisplayRecord(settings, index, clock);
    return check::Hex(std::string(Greeting) + std::string(record.begin(), record.end()));
}

std::string RecordHex(const DisplayRecord& record, std::size_t from, std::size_t count)
{
    return check::Hex(std::string(record.begin() + from, record.begin() + from + count));
}

void WorkedExamples()
{
    for (const vectors::UpdateExample& e : vectors::UpdateExamples) {
        const TimeOfDay t = e.time;
        check::Equal(std::string("worked example: ") + e.name,
                     UpdateHex(e.settings, e.index, FixedClock(t.hour, t.minute, t.second)), std::string(e.line));
    }
}

void DayCount()
{
    // 3000000000 and the negative counts go through the 32-bit range checks, where a
    // 32-bit long (Windows) and a 64-bit long (Linux) would part ways.
    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {
        {"12abc", "00 0C"},   {"", "00 00"},         {"abc", "00 00"},        {"1 2 3", "00 7B"},
        {"1e3", "03 E8"},     {"65535", "FF FF"},    {"65536", "00 00"},      {"70000", "00 70"},
        {"-5", "00 00"},      {"-256", "00 00"},     {"-300", "00 00"},       {"12.5", "00 0C"},
        {"13.5", "00 0E"},    {"255.5", "01 00"},    {"3000000000", "00 00"}, {"2147483647", "00 FF"},
        {"2147483648", "00 00"}, {"43520", "AA 00"}, {"1e400", "00 00"},      {"0x1F", "00 00"},
    };
    for (const auto& c : cases) {
        const PanelSettings settings{c.text, false, "5", 0, 0, 0};
        check::Equal(std::string("day count ") + check::Quoted(c.text),
                     RecordHex(BuildDisplayRecord(settings, 1, FixedClock(0, 0, 0)), 3, 2), std::string(c.bytes));
    }
}

void Brightness()
{
    // Decimal reading must not follow the C runtime's locale: "4.5" keeps its point.
    const struct {
        const char* text;
        int code;
    } cases[] = {
        {"1", 7}, {"2", 6}, {"3", 5}, {"4", 4}, {"5", 3}, {"6", 2}, {"7", 1}, {"8", 0},
        {"0", 0}, {"9", 7}, {"12", 4}, {"", 0}, {"x", 0}, {"-1", 0}, {"256", 0}, {"4.5", 4},
        {"5.5", 2}, {" 5 ", 3},
    };
    for (const auto& c : cases) {
        const PanelSettings settings{"1", false, c.text, 0, 0, 0};
        check::Equal(std::string("brightness ") + check::Quoted(c.text),
                     int(BuildDisplayRecord(settings, 1, FixedClock(0, 0, 0))[5]), c.code);
    }
}

void WorkTime()
{
    const struct {
        const char* name;
        std::int16_t workSwitch;
        bool countUp;
        std::int16_t start, end;
        const char* bytes;
    } cases[] = {
        {"23:59 to 23:59, switch on, counting up", 1, true, 1439, 1439, "97 3B 97 3B"},
        {"switch greyed keeps byte 6 at 0", 2, false, 510, 1035, "00 1E 11 0F"},
        {"negative start fails its bytes", 0, false, -30, 60, "00 00 01 00"},
        {"end hour 128 cannot take counting up", 0, true, 0, 128 * 60, "00 00 80 00"},
    };
    for (const auto& c : cases) {
        const PanelSettings settings{"1", c.countUp, "5", c.workSwitch, c.start, c.end};
        check::Equal(std::string("work time: ") + c.name,
                     RecordHex(BuildDisplayRecord(settings, 1, FixedClock(0, 0, 0)), 6, 4), std::string(c.bytes));
    }
}

void ClockBytes()
{
    const struct {
        TimeOfDay time;
        const char* bytes;
    } cases[] = {{{23, 59, 59}, "59 59 23"}, {{0, 0, 0}, "00 00 00"}, {{13, 45, 9}, "09 45 13"}};
    for (const auto& c : cases) {
        const PanelSettings settings{"1", false, "5", 0, 0, 0};
        check::Equal("clock bytes for " + ClockText(c.time),
                     RecordHex(BuildDisplayRecord(settings, 1, FixedClock(c.time.hour, c.time.minute, c.time.second)), 0, 3),
                     std::string(c.bytes));
    }
}

// The C runtime's local time (localtime_s) against the system's own (GetLocalTime): the
// clock bytes of every update come from the former.
void LocalClockAgreesWithSystem()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        SYSTEMTIME before{};
        ::GetLocalTime(&before);
        const TimeOfDay ours = LocalTimeOfDay();
        SYSTEMTIME after{};
        ::GetLocalTime(&after);
        if (before.wSecond != after.wSecond)
            continue; // a second turned over between the readings; read again
        check::Equal("local time of day against GetLocalTime", ClockText(ours),
                     ClockText({after.wHour, after.wMinute, after.wSecond}));
        return;
    }
    check::True("local time of day could be compared within three seconds", false);
}

void PortDevices()
{
    // COM10 and above are reachable only through the device namespace prefix.
    const struct {
        int port;
        const char* path;
    } cases[] = {{1, "\\\\.\\COM1"}, {9, "\\\\.\\COM9"}, {10, "\\\\.\\COM10"}, {32, "\\\\.\\COM32"}, {0, ""}};
    for (const auto& c : cases)
        check::Equal("device of port " + std::to_string(c.port), PortDevicePath(c.port, "C:\\Panel"),
                     std::string(c.path));

    const LineSettings line = ParseLineSettings(DisplayLineSettings);
    check::Equal("line settings: baud", line.baudRate, 9600);
    check::True("line settings: no parity", line.parity == Parity::None);
    check::Equal("line settings: data bits", line.dataBits, 8);
    check::True("line settings: one stop bit", line.stopBits == StopBits::One);
}

void PortNames()
{
    const struct {
        const char* text;
        int port;
    } cases[] = {{"COM1", 1}, {"COM10", 10}, {"COM32", 32}, {"COM33", 0}, {"com1", 0},
                 {"COM01", 0}, {"COM1 ", 0}, {"", 0}, {"COM", 0}, {"COM0", 0}};
    for (const auto& c : cases)
        check::Equal("port number of " + check::Quoted(c.text), int(PortNumberOf(c.text)), c.port);
}

std::string HexOf(const std::string& bytes)
{
    return check::Hex(bytes);
}

void SendRuns()
{
    for (const vectors::SendCase& c : vectors::SendCases) {
        const vectors::SendOutcome got = vectors::RunSendCase(c, HexOf);
        check::True(std::string("send, ") + c.name + ": how each click ended", got.results == c.expected.results);
        check::Equal(std::string("send, ") + c.name + ": bytes on the line", got.line, c.expected.line);
        check::True(std::string("send, ") + c.name + ": progress", got.progress == c.expected.progress);
        check::Equal(std::string("send, ") + c.name + ": closes", got.closes, c.expected.closes);
        check::True(std::string("send, ") + c.name + ": discarded", got.discarded == c.expected.discarded);
        check::True(std::string("send, ") + c.name + ": port closed at the end", !got.openAtEnd);
    }
}

} // namespace

int main()
{
    WorkedExamples();
    DayCount();
    Brightness();
    WorkTime();
    ClockBytes();
    LocalClockAgreesWithSystem();
    PortDevices();
    PortNames();
    SendRuns();
    return check::Finish("core");
}
