// tallymark-sendw on Windows: the same command built for the GUI subsystem, so that the
// log-on value and scheduled tasks open no console window. Started without a standard error
// (as the log-on value and the Task Scheduler start it), its failure line is added to
// tallymark-send.log in the user's folder for the panel's files, with the local time.

#include <cstdio>
#include <ctime>
#include <windows.h>

#include "link/win/Win32SerialPort.h"
#include "os/UserFolder.h"
#include "send/SendCommand.h"

namespace {

bool HasStandardError()
{
    const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

void Log(std::string_view line)
{
    if (HasStandardError()) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
        return;
    }
    const std::string folder = tallymark::UserSettingsDirectory();
    if (folder.empty() || !tallymark::MakeFolders(folder))
        return;
    std::FILE* file = std::fopen((folder + "\\tallymark-send.log").c_str(), "ab");
    if (!file)
        return;
    char time[32] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S ", std::localtime(&now));
    std::fputs(time, file);
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

} // namespace

int main(int argc, char* argv[])
{
    tallymark::Win32SerialPort port;
    return tallymark::command::Main(port, argc, argv, Log);
}
