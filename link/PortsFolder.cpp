#include "link/PortsFolder.h"

#include <cerrno>
#include <unistd.h>

#include "settings/UserFolder.h"

namespace tallymark {
namespace {

std::string Beside(const std::string& programDirectory)
{
    return programDirectory + (programDirectory.back() == '/' ? "ports" : "/ports");
}

// The user's ports folder when the program's folder is there but closed to the user; empty
// otherwise. A folder that is not there yet is made by whoever puts the first entry in it.
std::string UserPortsInstead(const std::string& programDirectory)
{
    if (::access(programDirectory.c_str(), W_OK) == 0 || errno == ENOENT)
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
