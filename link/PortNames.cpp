#include "link/PortNames.h"

#ifndef _WIN32
#include "link/PortsFolder.h"
#endif

#include <filesystem>
#include <system_error>

namespace tallymark {

#ifdef _WIN32

std::string PortDevicePath(int portNumber, const std::string&)
{
    if (portNumber < 1)
        return {};
    // The "\\.\" prefix reaches COM10 and above, which the short form does not.
    return "\\\\.\\COM" + std::to_string(portNumber);
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
        const fs::path entry = fs::path(ports) / ("COM" + std::to_string(portNumber));
        std::error_code error;
        const fs::file_status status = fs::symlink_status(entry, error);
        if (error || !fs::exists(status))
            continue;
        const fs::path device = fs::canonical(entry, error);
        return error ? entry.string() : device.string();
    }
    return {};
}

std::string StandardDevice(int portNumber)
{
    if (portNumber >= 1 && portNumber <= 4)
        return "/dev/ttyS" + std::to_string(portNumber - 1);
    if (portNumber >= 5 && portNumber <= 20)
        return "/dev/ttyUSB" + std::to_string(portNumber - 5);
    if (portNumber >= 21 && portNumber <= HighestPortNumber)
        return "/dev/ttyACM" + std::to_string(portNumber - 21);
    return {};
}

} // namespace

std::string PortDevicePath(int portNumber, const std::string& programDirectory)
{
    if (portNumber < 1)
        return {};
    std::string device = AssignedDevice(portNumber, programDirectory);
    return device.empty() ? StandardDevice(portNumber) : device;
}

#endif

} // namespace tallymark
