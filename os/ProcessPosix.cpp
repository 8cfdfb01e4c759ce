// Other processes on POSIX systems.

#include "os/Process.h"

#include <cerrno>
#include <climits>
#include <csignal>

namespace tallymark {

bool ProcessRuns(std::int64_t id)
{
    // kill() takes 0 and negative numbers for process groups: no lone process has such an id.
    if (id <= 0 || id > INT_MAX)
        return false;
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

} // namespace tallymark
