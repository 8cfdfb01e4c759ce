#include "link/PortNames.h"

#ifdef _WIN32
#include <windows.h>

#include "os/WideText.h"
#else
#include "link/PortsFolder.h"
#endif

#include <filesystem>
#include <system_error>

namespace tallymark {

namespace {
constexpr std::string_view PortPrefix = "COM";
} // namespace

std::string PortName(int portNumber)
{
    return std::string(PortPrefix) + std::to_string(portNumber);
}

std::int16_t PortNumberOf(std::string_view name)
{
    if (!name.starts_with(PortPrefix))
        return 0;
    const std::string_view digits = name.substr(PortPrefix.size());
    if (digits.empty() || digits.size() > 2 || digits.front() == '0')
        return 0;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    return number >= 1 && number <= HighestPortNumber ? static_cast<std::int16_t>(number) : 0;
}

#ifdef _WIN32

std::string PortDevicePath(int portNumber, const std::string&)
{
    if (portNumber < 1)
        return {};
    // The "\\.\" prefix reaches COM10 and above, which the short form does not.
    return "\\\\.\\" + PortName(portNumber);
}

bool PortDeviceExists(int portNumber, const std::string&)
{
    // The name's target is of no use here; a target too long for the buffer still exists.
    const std::wstring name = Utf8ToWide(PortName(portNumber));
    wchar_t target[256];
    return portNumber >= 1
        && (QueryDosDeviceW(name.c_str(), target, 256) != 0 || GetLastError() == ERROR_INSUFFICIENT_BUFFER);
}

#else

namespace {

// An operator's own choice: ports/COMn beside the program, or in the user's own folder for a
// program installed where the user cannot write (PortsFolder.h). A link that leads nowhere
// still wins, so that opening fails instead of quietly reaching some other device.
std::string AssignedDevice(int portNumber, const std::string& programDirectory)
{
    namespace fs = std::filesystem;
    for (const std::string& ports : PortsFoldersToSearch(programDirectory)) {
        const fs::path entry = fs::path(ports) / PortName(portNumber);
        std::error_code error;
        const fs::file_status status = fs::symlink_status(entry, error);
        if (error || !fs::exists(status))
            continue;
        const fs::path device = fs::canonical(entry, error);
        return error ? entry.string() : device.string();
    }
    return {};
}

// The fixed table: the devices of a kind, and the port numbers they take.
struct DeviceRange {
    const char* name; // in /dev, followed by a number from 0
    int first, last; // port numbers
};
constexpr DeviceRange StandardDevices[] = {{"ttyS", 1, 4}, {"ttyUSB", 5, 20}, {"ttyACM", 21, HighestPortNumber}};

std::string StandardDevice(int portNumber)
{
    for (const DeviceRange& range : StandardDevices)
        if (portNumber >= range.first && portNumber <= range.last)
            return "/dev/" + std::string(range.name) + std::to_string(portNumber - range.first);
    return {};
}

} // namespace

int StandardPortNumber(std::string_view deviceName)
{
    for (int n = 1; n <= HighestPortNumber; ++n)
        if ("/dev/" + std::string(deviceName) == StandardDevice(n))
            return n;
    return 0;
}

std::string PortDevicePath(int portNumber, const std::string& programDirectory)
{
    if (portNumber < 1)
        return {};
    std::string device = AssignedDevice(portNumber, programDirectory);
    return device.empty() ? StandardDevice(portNumber) : device;
}

bool PortDeviceExists(int portNumber, const std::string& programDirectory)
{
    const std::string device = PortDevicePath(portNumber, programDirectory);
    std::error_code error;
    return !device.empty() && std::filesystem::exists(device, error);
}

#endif

} // namespace tallymark
