// What the system says, on POSIX systems: paths are in the locale's bytes, UTF-8 today.

#include "os/SystemText.h"

#include <cerrno>
#include <cstring>

namespace tallymark {

std::string LastErrorText()
{
    return std::strerror(errno);
}

std::string PathText(const std::string& path)
{
    return path;
}

} // namespace tallymark
