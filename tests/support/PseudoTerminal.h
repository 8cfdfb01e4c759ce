#pragma once
// A pseudo-terminal standing in for a serial port: the panel's side opens the device path
// like any tty, and the test reads what the "display" receives on the controller side.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tallymark::testing {

class PseudoTerminal {
public:
    // Opens a new pair; throws std::runtime_error when the system has none to give.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The device the panel opens, for example "/dev/pts/3".
    const std::string& DevicePath() const { return devicePath_; }

    // Reads until `count` bytes have arrived or `patience` has passed without one.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds patience);

    // Everything that arrives until the line has been quiet for `quiet`.
    std::vector<std::uint8_t> ReadUntilQuiet(std::chrono::milliseconds quiet);

    // The far end goes away: the device hangs up, as an unplugged adapter does.
    void HangUp();

    // How many times anyone has opened the device, and closed it again, since the first call
    // of either.
    int Opens();
    int Closes();

private:
    void CountOpensAndCloses();

    int opens_ = -1; // inotify, on the device
    int opened_ = 0;
    int closed_ = 0;
    int controller_ = -1;
    int device_ = -1; // kept open so the controller side never sees the device closed
    std::string devicePath_;
};

// Makes "ports/COM<portNumber>" in `programDirectory` a link to `target`.
void LinkPort(const std::string& programDirectory, int portNumber, const std::string& target);

// Where a port leads that has no device behind it.
inline constexpr const char* NoDevice = "/nonexistent/tty";

// Makes every port from COM1 to COM32 lead nowhere, so that the machine's own serial ports
// take no part; a test then links the ports it wants.
void LinkNoPorts(const std::string& programDirectory);

} // namespace tallymark::testing
