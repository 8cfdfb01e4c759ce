// What the system says, on POSIX systems.

#include "os/SystemText.h"

#include <cerrno>
#include <cstring>

namespace tallymark {

std::string LastErrorText()
{
    return std::strerror(errno);
}

} // namespace tallymark
