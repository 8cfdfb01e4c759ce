#include "link/PortsFolder.h"

#include "os/ProgramFiles.h"
#include "os/UserFolder.h"

namespace tallymark {
namespace {

std::string Beside(const std::string& programDirectory)
{
    return programDirectory + (programDirectory.back() == '/' ? "ports" : "/ports");
}

// The user's ports folder where the program keeps its files in the user's folder; empty
// otherwise.
std::string UserPortsInstead(const std::string& programDirectory)
{
    if (KeepsFilesBesideProgram(programDirectory))
        return {};
    const std::string user = UserSettingsDirectory();
    return user.empty() ? user : user + "/ports";
}

} // namespace

std::string PortsFolder(const std::string& programDirectory)
{
    if (programDirectory.empty())
        return {};
    const std::string user = UserPortsInstead(programDirectory);
    return user.empty() ? Beside(programDirectory) : user;
}

std::vector<std::string> PortsFoldersToSearch(const std::string& programDirectory)
{
    if (programDirectory.empty())
        return {};
    std::vector<std::string> folders;
    if (std::string user = UserPortsInstead(programDirectory); !user.empty())
        folders.push_back(std::move(user));
    folders.push_back(Beside(programDirectory));
    return folders;
}

} // namespace tallymark
