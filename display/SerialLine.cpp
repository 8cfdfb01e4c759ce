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

void CloseQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd);
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
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        Fail("cannot create a pseudo-terminal");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        const int error = errno;
        ::close(master);
        errno = error;
        Fail("cannot unlock the pseudo-terminal");
    }
    char name[256];
    if (::ptsname_r(master, name, sizeof name) != 0) {
        const int error = errno;
        ::close(master);
        errno = error;
        Fail("cannot name the pseudo-terminal");
    }
    const int terminal = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
        const int error = errno;
        ::close(master);
        errno = error;
        Fail(std::string("cannot open ") + name);
    }
    SerialLine line(master, terminal, name);
    SetLine(terminal, name);
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0)
        Fail("cannot make the pseudo-terminal non-blocking");
    return line;
}

SerialLine SerialLine::OpenDevice(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Fail("cannot open " + path);
    SerialLine line(fd, -1, path);
    SetLine(fd, path);
    return line;
}

SerialLine::SerialLine(int readFd, int keptFd, std::string senderPath)
    : m_readFd(readFd)
    , m_keptFd(keptFd)
    , m_senderPath(std::move(senderPath))
{
}

SerialLine::SerialLine(SerialLine&& other) noexcept
    : m_readFd(std::exchange(other.m_readFd, -1))
    , m_keptFd(std::exchange(other.m_keptFd, -1))
    , m_senderPath(std::move(other.m_senderPath))
{
}

SerialLine& SerialLine::operator=(SerialLine&& other) noexcept
{
    if (this != &other) {
        CloseQuietly(m_readFd);
        CloseQuietly(m_keptFd);
        m_readFd = std::exchange(other.m_readFd, -1);
        m_keptFd = std::exchange(other.m_keptFd, -1);
        m_senderPath = std::move(other.m_senderPath);
    }
    return *this;
}

SerialLine::~SerialLine()
{
    CloseQuietly(m_readFd);
    CloseQuietly(m_keptFd);
}

} // namespace tallymark::display
