// The user's settings folder on POSIX systems, by the XDG base directory rules.

#include "os/UserFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tallymark {

std::string UserSettingsDirectory()
{
    // A relative $XDG_CONFIG_HOME is to be ignored, as is an empty one.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/tallymark";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.config/tallymark";
    return {};
}

bool PathExists(const std::string& path)
{
    struct stat status{};
    return ::lstat(path.c_str(), &status) == 0;
}

bool MakeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat status{};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool CanMakeFilesIn(const std::string& folder)
{
    // The kernel answers for the permissions, ACLs, an immutable flag and a read-only mount.
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool CanWriteInPlace(const std::string& file)
{
    struct stat status{};
    return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(file.c_str(), W_OK) == 0;
}

bool IsReadOnlyFile(const std::string&)
{
    // A file's permissions lock nothing here: a save replaces the file in its folder.
    return false;
}

} // namespace tallymark
