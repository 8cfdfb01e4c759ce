#pragma once
// Port numbers to the devices they open. The panel names ports "COM1" to "COM32" on every
// system; this is where such a name meets the operating system's own device names.

#include <cstdint>
#include <string>
#include <string_view>

namespace tallymark {

// The panel's ports are COM1 to COM32.
inline constexpr std::int16_t HighestPortNumber = 32;

// The panel's name of port `portNumber`: "COM" and the number.
std::string PortName(int portNumber);

// The port number of a port name "COM1" to "COM32", compared whole and case-sensitive;
// 0 for any other text.
std::int16_t PortNumberOf(std::string_view name);

// The path of the device that port number `portNumber` opens; empty when no device is
// assigned to it.
//
// Windows: the system's own "\\.\COMn".
// Elsewhere: an entry "COMn" (a link or a device) in the panel's "ports" folder for
// `programDirectory` (link/PortsFolder.h) takes precedence; a link is resolved to the device it names, so that
// lock names agree with other programs that use the same device. Without such an entry:
// COM1-COM4 are /dev/ttyS0-3, COM5-COM20 /dev/ttyUSB0-15, COM21-COM32 /dev/ttyACM0-11.
std::string PortDevicePath(int portNumber, const std::string& programDirectory);

// Whether the device of port `portNumber` is there now, learned without opening it: an open
// raises DTR on the line, which resets many boards, and may wait seconds on a wireless port.
// Windows: the system knows the name COMn. Elsewhere: the device that PortDevicePath names
// exists, through any links.
bool PortDeviceExists(int portNumber, const std::string& programDirectory);

#ifndef _WIN32
// The port number whose device, in the fixed table, has this name in /dev ("ttyUSB0" is 5);
// 0 for a name the table does not hold.
int StandardPortNumber(std::string_view deviceName);
#endif

} // namespace tallymark
