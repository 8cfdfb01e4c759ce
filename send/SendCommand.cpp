#include "send/SendCommand.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "link/DisplayRecord.h"
#include "link/PortDiscovery.h"
#include "link/PortNames.h"
#include "link/SendOperation.h"
#include "link/UpdateBytes.h"
#include "os/Process.h"
#include "os/ProgramDirectory.h"
#include "os/UserFolder.h"
#include "send/SettingOptions.h"
#include "send/WatchedPort.h"
#include "settings/SettingsFile.h"

namespace tallymark::command {

namespace {

constexpr std::string_view ProgramName = "tallymark-send";

struct ExitCodeMeaning {
    ExitCode code;
    const char* meaning;
};

constexpr ExitCodeMeaning ExitCodes[] = {
    {ExitCode::Sent, "every byte of the update has left the port"},
    {ExitCode::BadCommandLine, "the command line is wrong"},
    {ExitCode::NoPort, "no --port, and no port from COM1 to COM32 opens"},
    {ExitCode::PortUnavailable, "the port is in use by another program or does not exist"},
    {ExitCode::SendFailed, "the port opened but failed during the send, or held the update back too long"},
};

std::string Synopsis()
{
    const std::string name(ProgramName);
    const std::string line1 = "Usage: " + name + " (--clock | --all [SETTINGS]) [--port COMn] [--dry-run]\n";
    return line1 + "       " + name + " --help | --version\n";
}

std::string Usage()
{
    std::string usage = Synopsis();
    usage += "\n"
             "Sends one update to the day-counter display, as the panel's send buttons do, with\n"
             "the settings in Tallymark.ini beside this program. The settings file is only read.\n"
             "\n"
             "  --clock      set the display's clock from this computer's; the day count stays\n"
             "  --all        send the clock and all the settings, as the settings group's button\n"
             "  --port COMn  the display's port, COM1 to COM32; without it, the port the panel\n"
             "               picks at its start (the highest that opens when one above COM2 does)\n"
             "  --dry-run    print the 15 bytes in hexadecimal; no serial port is opened or\n"
             "               searched for\n"
             "  --help       show this text\n"
             "  --version    show the version\n"
             "\n"
             "SETTINGS take the place of the file's values for this send only:\n";
    usage += SettingOptionsUsage();
    usage += "\n"
             "A port in use by another program (the panel during its own send, say) is an error,\n"
             "never a wait. Exit codes:\n";
    for (const ExitCodeMeaning& row : ExitCodes)
        usage += "  " + std::to_string(static_cast<int>(row.code)) + "  " + std::string(row.meaning) + "\n";
    return usage;
}

// The one line a failure gets: control characters from the command line or from the
// system's messages must not break it.
void Fail(const Output& err, std::string_view text)
{
    std::string line(text);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    err(std::string(ProgramName) + ": " + line + "\n");
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// The panel's send window without a window: the port named, the settings as read, and a
// drain wait with a limit.
class CommandWindow final : public SendWindow {
public:
    CommandWindow(std::string port, PanelSettings settings, DrainTurn& turn)
        : port_(std::move(port)), settings_(std::move(settings)), turn_(turn)
    {
    }

    SendOperation* send = nullptr;

    std::string ComSeleText() const override { return port_; }
    void SetProgressMax(int) override { }
    void SetProgressMin(int) override { }
    void SetProgressValue(int) override { }
    void DoEvents() override
    {
        if (!turn_())
            send->Abandon();
    }
    PanelSettings CurrentSettings() const override { return settings_; }

private:
    std::string port_;
    PanelSettings settings_;
    DrainTurn& turn_;
};

// The port the panel's start-up scan would show in ComSele; empty when none opens. The
// devices there but refused for lack of permission go to `refused`.
std::string FoundPort(SerialPort& port, std::vector<OpenFailure>& refused)
{
    ListedPorts found;
    refused = ScanComPorts(port, found);
    return found.text;
}

// What a user refused for lack of permission does: "join the group dialout: sudo adduser
// ann dialout, then log in again".
std::string JoinAdvice(const OpenFailure& refused)
{
    return "join the group " + refused.group + ": " + JoinGroupCommand(UserName(), refused.group)
         + ", then log in again";
}

// "/dev/ttyS0, /dev/ttyUSB0"
std::string Devices(const std::vector<OpenFailure>& refused)
{
    std::string devices;
    for (const OpenFailure& failure : refused)
        devices += (devices.empty() ? "" : ", ") + failure.device;
    return devices;
}

ExitCode Send(const Options& options, const PanelSettings& settings, Platform& platform)
{
    std::vector<OpenFailure> refused;
    const std::string name = options.port.empty() ? FoundPort(platform.port, refused) : options.port;
    if (name.empty() && !refused.empty()) {
        Fail(platform.err, "no serial port from COM1 to COM32 opens; permission denied on " + Devices(refused) + ": "
                               + JoinAdvice(refused.front()));
        return ExitCode::NoPort;
    }
    if (name.empty()) {
        Fail(platform.err, "no serial port from COM1 to COM32 opens");
        return ExitCode::NoPort;
    }
    WatchedPort port(platform.port);
    CommandWindow window(name, settings, platform.drainTurn);
    SendOperation send(port, window, platform.clock);
    window.send = &send;
    switch (send.CmdSndClk_Click(options.index)) {
    case SendResult::Sent: break;
    case SendResult::PortNotOpen: Fail(platform.err, name + " did not stay open"); return ExitCode::PortUnavailable;
    case SendResult::Busy:
    case SendResult::BadPortName:
    case SendResult::PortRefused: {
        if (const auto& refusal = send.Refusal(); refusal && refusal->reason == OpenRefusal::NoPermission) {
            Fail(platform.err, name + " (" + refusal->device + "): permission denied; " + JoinAdvice(*refusal));
            return ExitCode::PortUnavailable;
        }
        const std::string reason = port.OpenError().empty() ? "" : " (" + port.OpenError() + ")";
        Fail(platform.err, name + " is in use by another program or does not exist" + reason);
        return ExitCode::PortUnavailable;
    }
    case SendResult::GivenUp:
        Fail(platform.err, name + " held the update back for " + std::to_string(DrainPatience.count())
                               + " seconds; the send was given up");
        return ExitCode::SendFailed;
    }
    if (!port.SendError().empty()) {
        Fail(platform.err, "the send to " + name + " failed: " + port.SendError());
        return ExitCode::SendFailed;
    }
    return ExitCode::Sent;
}

} // namespace

std::variant<Options, std::string> ParseCommandLine(std::span<const std::string> arguments)
{
    Options options;
    bool portGiven = false;
    const auto once = [](bool& given, std::string_view option) -> std::optional<std::string> {
        if (given)
            return Quoted(option) + " is given twice";
        given = true;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        std::optional<std::string> error;
        if (argument == "--clock" || argument == "--all") {
            const std::int16_t index = argument == "--clock" ? 0 : 1;
            if (options.index == index)
                error = Quoted(argument) + " is given twice";
            else if (options.index != -1)
                error = "--clock and --all do not go together";
            options.index = index;
        } else if (argument == "--port" || argument.starts_with("--port=")) {
            error = once(portGiven, "--port");
            if (argument == "--port" && i + 1 == arguments.size())
                return std::string("--port needs a port name, COM1 to COM32");
            options.port = argument == "--port" ? arguments[++i] : std::string(argument.substr(7));
            if (!error && PortNumberOf(options.port) == 0)
                error = "the port name " + Quoted(options.port) + " is not one of COM1 to COM32";
        } else if (const auto name = argument.substr(0, argument.find('=')); IsSettingOption(name)) {
            std::string value;
            if (TakesValue(name) && argument == name) {
                if (i + 1 == arguments.size())
                    return Quoted(name) + " needs a value";
                value = arguments[++i];
            } else if (TakesValue(name)) {
                value = argument.substr(name.size() + 1);
            } else if (argument != name) {
                return Quoted(name) + " takes no value";
            }
            error = ReadSettingOption(name, value, options.settings);
        } else if (argument == "--dry-run") {
            error = once(options.dryRun, argument);
        } else if (argument == "--help") {
            error = once(options.help, argument);
        } else if (argument == "--version") {
            error = once(options.version, argument);
        } else {
            error = (argument.starts_with("-") ? "unknown option " : "unexpected argument ") + Quoted(argument);
        }
        if (error)
            return *error;
    }
    if (options.index == -1 && !options.help && !options.version)
        return std::string("--clock or --all is needed");
    if (options.index == 0 && !options.settings.first.empty())
        return Quoted(options.settings.first) + " does not go with --clock, whose update carries no settings";
    return options;
}

DrainTurn PatientTurns(std::chrono::milliseconds patience)
{
    std::optional<std::chrono::steady_clock::time_point> start;
    std::chrono::microseconds pause{0};
    return [patience, start, pause]() mutable {
        const auto now = std::chrono::steady_clock::now();
        if (!start)
            start = now;
        if (now - *start >= patience)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::clamp(pause * 2, std::chrono::microseconds(50), std::chrono::microseconds(1000));
        return true;
    };
}

ExitCode RunCommand(std::span<const std::string> arguments, Platform& platform)
{
    const auto parsed = ParseCommandLine(arguments);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        Fail(platform.err, *error);
        platform.out(Synopsis());
        return ExitCode::BadCommandLine;
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
        platform.out(Usage());
        return ExitCode::Sent;
    }
    if (options.version) {
        platform.out(std::string(ProgramName) + " " + TALLYMARK_VERSION + "\n");
        return ExitCode::Sent;
    }

    StoredSettings settings;
    SettingsFile(platform.store, platform.programDirectory, platform.userDirectory).LoadSettings(settings);
    const PanelSettings values = WithOptions(settings.values, options.settings);
    if (options.dryRun) {
        const DisplayRecord record = BuildDisplayRecord(values, options.index, platform.clock);
        platform.out(HexBytes(WholeUpdate(record)) + "\n");
        return ExitCode::Sent;
    }
    return Send(options, values, platform);
}

int Main(SerialPort& port, int argc, char** argv, Output err)
{
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const auto store = SystemProfileStore();
    // The program's folder stays where it is while the command runs: asked once, not for
    // every key of the settings file.
    const std::string programDirectory = ProgramDirectory();
    const auto writeTo = [](std::FILE* stream) {
        return [stream](std::string_view text) {
            std::fwrite(text.data(), 1, text.size(), stream);
            std::fflush(stream);
        };
    };
    Platform platform{port,
                      *store,
                      [&] { return programDirectory; },
                      LocalTimeOfDay,
                      PatientTurns(DrainPatience),
                      writeTo(stdout),
                      err ? std::move(err) : writeTo(stderr),
                      UserSettingsDirectory};
    return static_cast<int>(RunCommand(arguments, platform));
}

} // namespace tallymark::command
