// Other processes on POSIX systems.

#include "os/Process.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tallymark {

bool ProcessRuns(std::int64_t id)
{
    // kill() takes 0 and negative numbers for process groups: no lone process has such an id.
    if (id <= 0 || id > INT_MAX)
        return false;
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

std::string ProcessName(std::int64_t id)
{
    if (id <= 0 || id > INT_MAX)
        return {};
    // Linux's process list; other systems have none to read, and the id alone is told.
    std::ifstream comm("/proc/" + std::to_string(id) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

std::string UserName()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    // A user the password database does not know (a container's, say) may still be named.
    const char* name = std::getenv("USER");
    return name ? name : "";
}

} // namespace tallymark
