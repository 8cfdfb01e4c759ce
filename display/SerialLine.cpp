#include "display/SerialLine.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tallymark::display {

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

// 9600 baud, 8 data bits, no parity, 1 stop bit, receiver on, modem lines ignored, and no
// processing of the bytes in either direction.
void SetLine(int fd, const std::string& path)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        Fail("cannot read the line settings of " + path);
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, B9600) != 0 || ::cfsetospeed(&settings, B9600) != 0)
        Fail("cannot set 9600 baud on " + path);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        Fail("cannot set the line settings of " + path);
}

} // namespace

SerialLine SerialLine::CreatePseudoTerminal()
{
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master)
        Fail("cannot create a pseudo-terminal");
    if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0)
        Fail("cannot unlock the pseudo-terminal");
    char name[256];
    if (::ptsname_r(master.Get(), name, sizeof name) != 0)
        Fail("cannot name the pseudo-terminal");
    UniqueFd terminal(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!terminal)
        Fail(std::string("cannot open ") + name);
    SetLine(terminal.Get(), name);
    if (::fcntl(master.Get(), F_SETFL, ::fcntl(master.Get(), F_GETFL) | O_NONBLOCK) != 0)
        Fail("cannot make the pseudo-terminal non-blocking");
    return SerialLine(std::move(master), std::move(terminal), name);
}

SerialLine SerialLine::OpenDevice(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        Fail("cannot open " + path);
    SetLine(fd.Get(), path);
    return SerialLine(std::move(fd), UniqueFd(), path);
}

SerialLine::SerialLine(UniqueFd readFd, UniqueFd keptFd, std::string senderPath)
    : m_readFd(std::move(readFd)), m_keptFd(std::move(keptFd)), m_senderPath(std::move(senderPath))
{
}

} // namespace tallymark::display
