#include "link/PosixTtyPort.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

#include "link/LineSettings.h"
#include "link/PortNames.h"
#include "link/PosixTty.h"
#include "os/ProgramDirectory.h"

namespace tallymark {

namespace {

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw SerialError(what + ": " + std::generic_category().message(error));
}

speed_t Speed(int baudRate)
{
    struct Rate {
        int baud;
        speed_t speed;
    };
    constexpr Rate Rates[] = {
        {50, B50},     {75, B75},       {110, B110},     {134, B134},     {150, B150},       {200, B200},
        {300, B300},   {600, B600},     {1200, B1200},   {1800, B1800},   {2400, B2400},     {4800, B4800},
        {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
    };
    for (const Rate& rate : Rates)
        if (rate.baud == baudRate)
            return rate.speed;
    throw SerialError(std::to_string(baudRate) + " baud is not available on this system");
}

// Raw 8-bit output with the line's settings, no flow control, modem lines ignored.
void SetLine(int descriptor, const LineSettings& line)
{
    termios t{};
    if (::tcgetattr(descriptor, &t) == -1)
        Fail("reading the line settings", errno);
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    constexpr tcflag_t Sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= Sizes[line.dataBits - 5];
    if (line.stopBits == StopBits::Two)
        t.c_cflag |= CSTOPB;
    switch (line.parity) {
    case Parity::None: break;
    case Parity::Odd: t.c_cflag |= PARENB | PARODD; break;
    case Parity::Even: t.c_cflag |= PARENB; break;
#ifdef CMSPAR
    case Parity::Mark: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case Parity::Space: t.c_cflag |= PARENB | CMSPAR; break;
#else
    default: throw SerialError("mark and space parity are not available on this system");
#endif
    }
    const speed_t speed = Speed(line.baudRate);
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    if (::tcsetattr(descriptor, TCSANOW, &t) == -1)
        Fail("setting the line", errno);
}

// Qt SerialPort's lock file: its process id, program name and host name on three lines, by
// which other Qt programs see the device as taken while this process runs.
std::string LockFileText()
{
    const std::string program = ExecutablePath();
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return std::to_string(::getpid()) + "\n" + program.substr(program.rfind('/') + 1) + "\n" + host + "\n";
}

} // namespace

PosixTtyPort::PosixTtyPort(std::string programDirectory) : programDirectory_(std::move(programDirectory)) { }

PosixTtyPort::~PosixTtyPort()
{
    try {
        Close();
    } catch (const SerialError&) {
        // Going away regardless; the port has been closed all the same.
    }
}

void PosixTtyPort::Open()
{
    RequireClosed("opening");
    const std::string device = PortDevicePath(CommPort(), programDirectory_);
    // Every failed open leaves here, with the port named and, where it is known, why.
    try {
        if (device.empty())
            throw PortOpenError(OpenFailure{OpenRefusal::NoDevice}, "no device on this system");
        OpenDevice(device);
    } catch (const PortOpenError& failure) {
        Release();
        throw PortOpenError(failure.Failure(), Name() + ": " + failure.what());
    } catch (const SerialError& failure) {
        Release();
        throw SerialError(Name() + ": " + failure.what());
    }
}

void PosixTtyPort::OpenDevice(const std::string& device)
{
    const LineSettings line = posix::TerminalLineSettings(Settings());
    lock_ = std::make_unique<posix::DeviceLock>(device);
    // Not blocking, so that the open does not wait for a carrier; writes block again after.
    descriptor_ = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ == -1) {
        const OpenFailure failure = posix::OpenFailureOf(device, errno);
        throw PortOpenError(failure, posix::OpenFailureText(failure));
    }
    if (::ioctl(descriptor_, TIOCEXCL) == -1)
        Fail("exclusive mode", errno);
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (flags == -1 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) == -1)
        Fail("blocking mode", errno);
    SetLine(descriptor_, line);

    const std::string lockName = posix::LockFileName(device);
    const std::string folder = posix::QtLockFolder(lockName);
    if (!folder.empty()) {
        const std::string path = folder + "/" + lockName;
        // A lock file left there is no running program's: the device lock refused those.
        ::unlink(path.c_str());
        lockFileDescriptor_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (lockFileDescriptor_ == -1)
            Fail("making the lock file " + path, errno);
        lockFilePath_ = path;
        const std::string text = LockFileText();
        if (::write(lockFileDescriptor_, text.data(), text.size()) != static_cast<ssize_t>(text.size())
            || ::flock(lockFileDescriptor_, LOCK_EX | LOCK_NB) == -1)
            Fail("writing the lock file " + path, errno);
    }
    ApplyDtr(DtrEnable());
}

void PosixTtyPort::Release()
{
    // Exclusive mode belongs to the terminal, not to this descriptor: it is given up as Qt
    // gives it up, or the next open of a device someone else keeps open would be refused.
    if (descriptor_ != -1) {
        ::ioctl(descriptor_, TIOCNXCL);
        ::close(descriptor_);
    }
    descriptor_ = -1;
    if (!lockFilePath_.empty())
        ::unlink(lockFilePath_.c_str());
    lockFilePath_.clear();
    if (lockFileDescriptor_ != -1)
        ::close(lockFileDescriptor_);
    lockFileDescriptor_ = -1;
    lock_.reset();
}

void PosixTtyPort::Close()
{
    if (descriptor_ == -1)
        return;
    // Everything queued leaves before the device is let go.
    std::string failure;
    try {
        posix::Drain(descriptor_);
    } catch (const SerialError& error) {
        failure = std::string("closing: ") + error.what();
    }
    Release();
    if (!failure.empty())
        throw SerialError(failure);
}

void PosixTtyPort::ApplyDtr(bool raised)
{
    posix::SetDtr(descriptor_, raised);
}

int PosixTtyPort::OutBufferCount()
{
    RequireOpen("reading the output count");
    return posix::PendingOutput(descriptor_);
}

void PosixTtyPort::DiscardOutput()
{
    RequireOpen("discarding the output");
    if (::tcflush(descriptor_, TCOFLUSH) == -1)
        Fail("discarding the output", errno);
}

void PosixTtyPort::Write(const char* data, std::size_t size)
{
    RequireOpen("output");
    while (size > 0) {
        const ssize_t written = ::write(descriptor_, data, size);
        if (written == -1 && errno == EINTR)
            continue;
        if (written <= 0)
            Fail("output", written == 0 ? EIO : errno);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

} // namespace tallymark
