// The program's own folder on POSIX systems.

#include "os/ProgramDirectory.h"

#include <climits>
#include <string>
#include <unistd.h>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace tallymark {

std::string ExecutablePath()
{
#if defined(__APPLE__)
    char path[PATH_MAX];
    std::uint32_t size = sizeof path;
    if (_NSGetExecutablePath(path, &size) == 0) {
        char resolved[PATH_MAX];
        if (realpath(path, resolved))
            return resolved;
    }
    return {};
#else
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
#endif
}

std::string ProgramDirectory()
{
    const std::string path = ExecutablePath();
    const std::size_t slash = path.rfind('/');
    // Without a known location the settings live in the working folder.
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace tallymark
