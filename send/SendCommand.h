#pragma once
// tallymark-send: one update to the display from the command line, for the system's
// scheduler. The same settings file, port choice and send as the panel's buttons; the
// settings file is only read.

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "link/LocalClock.h"
#include "link/SerialPort.h"
#include "send/SettingOptions.h"
#include "settings/ProfileStore.h"

namespace tallymark::command {

// What the command tells its caller. The numbers are part of its interface: schedulers and
// scripts test them, and --help lists them.
enum class ExitCode : int {
    Sent = 0, // every byte of the update has left the port (or --dry-run, --help, --version)
    BadCommandLine = 2, // the usage follows the message
    NoPort = 3, // no --port, and no port from COM1 to COM32 opens
    PortUnavailable = 4, // the port is in use by another program or does not exist
    SendFailed = 5, // the port opened but failed during the send, or held the update too long
};

struct Options {
    std::int16_t index = -1; // the panel's send button: 0 for --clock, 1 for --all
    std::string port; // --port; empty: the port the panel would pick at its start
    SettingOptions settings; // values in place of the file's, with --all
    bool dryRun = false;
    bool help = false;
    bool version = false;

    friend bool operator==(const Options&, const Options&) = default;
};

// The options, or why the command line is refused.
std::variant<Options, std::string> ParseCommandLine(std::span<const std::string> arguments);

// How long the line may hold the update back before the send is given up: a line stopped by
// flow control must not keep a scheduled job waiting for ever.
inline constexpr std::chrono::seconds DrainPatience{30};

// One turn of the wait for the line to drain: none before the count is first read, then
// pauses that double from 50 microseconds to about a millisecond, so that a line that drains
// at once costs no wait and a slow one no busy core; false once the wait has lasted longer
// than `patience`, counted from its first turn.
using DrainTurn = std::function<bool()>;
DrainTurn PatientTurns(std::chrono::milliseconds patience);

// Where the command's text goes: standard output or standard error, or a test's string.
using Output = std::function<void(std::string_view)>;

// What the command runs on: the platform's serial component and settings store, or fakes.
struct Platform {
    SerialPort& port;
    ProfileStore& store;
    std::function<std::string()> programDirectory;
    Clock clock;
    DrainTurn drainTurn;
    Output out;
    Output err; // exactly one line for each failure
    // The user's own folder for the settings file, where the panel saves when it cannot
    // write beside itself; none when not given.
    std::function<std::string()> userDirectory = {};
};

ExitCode RunCommand(std::span<const std::string> arguments, Platform& platform);

// main() of each platform, around the platform's own serial component. The failure line goes
// to standard error, or to `err` where it is given.
int Main(SerialPort& port, int argc, char** argv, Output err = {});

} // namespace tallymark::command
