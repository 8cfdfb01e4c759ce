// tallymark-send.exe as a scheduled task runs it: copied into a folder of its own beside a
// settings file, started as a separate process, on Wine's COMn linked by tools/wine-check to
// a pseudo-terminal whose other end copies what it reads into a file.
//
//   wine_send.exe PROGRAM PORT MISSING FOLDER RECEIVED
// PROGRAM: tallymark-send.exe as built. PORT: the port number linked to the pseudo-terminal,
// the highest there is. MISSING: a port number that has no device. FOLDER: an empty folder.
// RECEIVED: the far end's file. Every update that should reach the other end is printed as
// "sent: XX XX ..." for tools/wine-check to compare.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/DisplayRecord.h"
#include "link/UpdateBytes.h"
#include "settings/SettingsFile.h"
#include "support/Check.h"
#include "support/Files.h"

using namespace tallymark;

namespace {

// Every value other than its default, so that an update made from the defaults shows.
constexpr const char* StoredFile = "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=510\r\nEndWorkTime=1035\r\n"
                                   "[Tallymarks]\r\nDDD=42\r\nDownCount=0\r\n[Bright]\r\nBright=8\r\n";

struct Exit {
    DWORD code = 0xFFFFFFFF;
    std::string err;
};

class Program {
public:
    Program(const std::string& built, std::string folder) : folder_(std::move(folder))
    {
        check::True("copying the program", ::CopyFileA(built.c_str(), Path("tallymark-send.exe").c_str(), FALSE));
        check::True("writing the settings file", check::WriteAll(Path("Tallymark.ini"), StoredFile));
    }

    std::string Path(const char* name) const { return folder_ + "\\" + name; }

    // Runs the program to its end with standard output and error in files of their own;
    // gives its standard error.
    Exit Run(const std::string& arguments) const
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const auto open = [&](const char* name) {
            return ::CreateFileA(Path(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = open("out.txt");
        startup.hStdError = open("err.txt");
        std::string line = "\"" + Path("tallymark-send.exe") + "\" " + arguments;
        PROCESS_INFORMATION process{};
        Exit exit;
        if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder_.c_str(), &startup,
                             &process)) {
            if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
                ::GetExitCodeProcess(process.hProcess, &exit.code);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
        ::CloseHandle(startup.hStdOutput);
        ::CloseHandle(startup.hStdError);
        exit.err = check::ReadAll(Path("err.txt"));
        return exit;
    }

private:
    std::string folder_;
};

// The update the settings file makes for the button, given the clock reading the bytes
// carry; that reading must be this PC's time of day, give or take a few seconds.
void CheckUpdate(const std::string& what, const std::string& bytes, const std::string& folder, std::int16_t index)
{
    if (!check::Equal(what + ": bytes", static_cast<int>(bytes.size()), 15))
        return;
    const auto bcd = [&](std::size_t i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        return (byte >> 4) * 10 + (byte & 0x0F);
    };
    const TimeOfDay carried{bcd(7), bcd(6), bcd(5)};
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const int apart = std::abs((now.wHour * 60 + now.wMinute) * 60 + now.wSecond -
                               (carried.hour * 60 + carried.minute) * 60 - carried.second);
    check::True(what + ": the clock it carries is now", apart < 10 || apart > 86390);

    const auto store = SystemProfileStore();
    StoredSettings settings;
    SettingsFile(*store, [&] { return folder; }).LoadSettings(settings);
    const UpdateBytes update = WholeUpdate(BuildDisplayRecord(settings.values, index, [=] { return carried; }));
    check::Equal(what + ": the update", check::Hex(bytes), HexBytes(update));
}

// What arrives at the far end beyond the `known` bytes, once 15 have or 10 seconds passed.
std::string Arrived(const std::string& received, std::size_t known)
{
    std::string all = check::ReadAll(received);
    for (int i = 0; i < 1000 && all.size() < known + 15; ++i, ::Sleep(10))
        all = check::ReadAll(received);
    return all.size() > known ? all.substr(known) : std::string();
}

void Sends(const Program& program, const std::string& folder, int port, const std::string& received)
{
    struct Row {
        const char* what;
        std::string arguments;
        std::int16_t index;
    };
    const Row rows[] = {
        {"--clock on the port named", "--clock --port COM" + std::to_string(port), 0},
        {"--all on the port found", "--all", 1},
    };
    for (const Row& row : rows) {
        const std::size_t known = check::ReadAll(received).size();
        const Exit exit = program.Run(row.arguments);
        check::Equal(std::string(row.what) + ": exit code", static_cast<int>(exit.code), 0);
        check::Equal(std::string(row.what) + ": standard error", exit.err, "");
        const std::string bytes = Arrived(received, known);
        CheckUpdate(row.what, bytes, folder, row.index);
        std::printf("sent: %s\n", check::Hex(bytes).c_str());
        std::fflush(stdout);
    }
}

// A port without a device: its own exit code and one line that names the port.
void MissingPort(const Program& program, int missing)
{
    const std::string name = "COM" + std::to_string(missing);
    const Exit exit = program.Run("--clock --port " + name);
    const std::string line = "tallymark-send: " + name + " is in use by another program or does not exist (";
    check::Equal("missing port: exit code", static_cast<int>(exit.code), 4);
    check::Equal("missing port: the line", exit.err.substr(0, line.size()), line);
    check::Equal("missing port: one line", exit.err.find('\n'), exit.err.size() - 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: wine_send PROGRAM PORT MISSING FOLDER RECEIVED\n");
        return 2;
    }
    const std::string folder = argv[4];
    const Program program(argv[1], folder);
    Sends(program, folder, std::atoi(argv[2]), argv[5]);
    MissingPort(program, std::atoi(argv[3]));
    check::Equal("the settings file is as it was", check::ReadAll(program.Path("Tallymark.ini")),
                 std::string(StoredFile));
    return check::Finish("send");
}
