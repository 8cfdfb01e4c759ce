#include "link/PosixTty.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <string_view>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "link/SerialPort.h"
#include "os/Process.h"

namespace tallymark::posix {

namespace {

[[noreturn]] void Fail(std::string_view what, int error)
{
    throw SerialError(std::string(what) + ": " + std::generic_category().message(error));
}

// The driver has no such request; it says so with one of these.
bool NotSupported(int error)
{
    return error == ENOTTY || error == EINVAL || error == EOPNOTSUPP;
}

[[noreturn]] void Refuse(const OpenFailure& failure)
{
    throw PortOpenError(failure, OpenFailureText(failure));
}

// Held by another program, as the lock that refused it tells.
[[noreturn]] void RefuseHeld(const std::string& devicePath, const std::string& lock, std::int64_t processId = 0)
{
    OpenFailure failure{OpenRefusal::HeldByProgram, devicePath};
    failure.lock = lock;
    failure.processId = processId;
    if (processId > 0)
        failure.program = ProcessName(processId);
    Refuse(failure);
}

[[noreturn]] void RefuseOddLockFile(const std::string& devicePath, const std::string& lockPath)
{
    RefuseHeld(devicePath, lockPath);
}

// The name of the device's group, or its number where the system has no name for it.
std::string GroupOf(const std::string& devicePath)
{
    struct stat status{};
    if (::stat(devicePath.c_str(), &status) != 0)
        return {};
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->gr_name)
        return found->gr_name;
    return std::to_string(status.st_gid);
}

// The process id a lock file names: the UUCP form ("      1234\n") and Qt's (id on the
// first line) both begin with it. 0 when there is none. Anything but a regular file under a
// lock file's name (a FIFO, a socket, a device, a link, a folder) is no lock a serial program
// writes, and reading it could block for good: the device counts as held. Nodes are judged
// before they are opened, so that no device is opened by mistake; the open neither blocks
// nor follows a link, in case the name was swapped meanwhile.
pid_t LockOwner(const std::string& devicePath, const std::string& lockPath)
{
    struct stat status{};
    if (::lstat(lockPath.c_str(), &status) != 0)
        return 0;
    if (!S_ISREG(status.st_mode))
        RefuseOddLockFile(devicePath, lockPath);
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd == -1) {
        if (errno == ELOOP || errno == ENXIO)
            RefuseOddLockFile(devicePath, lockPath);
        return 0;
    }
    char text[64] = {};
    ssize_t size = -1;
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (regular)
        size = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (!regular)
        RefuseOddLockFile(devicePath, lockPath);
    if (size <= 0)
        return 0;
    const char* c = text;
    while (*c == ' ' || *c == '\t')
        ++c;
    long long pid = 0;
    for (; *c >= '0' && *c <= '9'; ++c) {
        pid = pid * 10 + (*c - '0');
        if (pid > 0x7FFFFFFF)
            return 0;
    }
    return static_cast<pid_t>(pid);
}

// Where Qt SerialPort puts a temporary folder among its lock folders: $TMPDIR or /tmp, as
// a canonical path; empty when that folder is not there.
std::string TemporaryFolder()
{
    const char* variable = std::getenv("TMPDIR");
    char resolved[PATH_MAX];
    if (!::realpath(variable && *variable ? variable : "/tmp", resolved))
        return {};
    return resolved;
}

// Qt treats a lock file without its program's name, as UUCP programs write them, as left
// over; it is not while the process it names runs. Lock files count only in the folders
// that serial programs use: the system's two, and the one Qt SerialPort chooses on this
// system, where other Qt programs keep theirs. Elsewhere, in /tmp say, any local user could
// make any port look taken.
void RefuseIfLockFileHeld(const std::string& devicePath)
{
    const std::string name = LockFileName(devicePath);
    for (const std::string& folder : {std::string("/var/lock"), std::string("/run/lock"), QtLockFolder(name)}) {
        if (folder.empty())
            continue;
        const std::string lockPath = folder + "/" + name;
        const pid_t owner = LockOwner(devicePath, lockPath);
        if (owner > 0 && owner != ::getpid() && ProcessRuns(owner))
            RefuseHeld(devicePath, lockPath, owner);
    }
}

} // namespace

LineSettings TerminalLineSettings(const std::string& settings)
{
    const LineSettings line = ParseLineSettings(settings);
    if (line.stopBits == StopBits::OneAndHalf)
        throw SerialError("line settings \"" + settings + "\": 1.5 stop bits are not available on this system");
    return line;
}

OpenFailure OpenFailureOf(const std::string& devicePath, int error)
{
    OpenFailure failure{OpenRefusal::Other, devicePath};
    failure.systemText = std::generic_category().message(error);
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR: failure.reason = OpenRefusal::NoDevice; break;
    case EACCES:
    case EPERM:
        failure.reason = OpenRefusal::NoPermission;
        failure.group = GroupOf(devicePath);
        break;
    // A terminal in exclusive mode (TIOCEXCL) refuses every other open so.
    case EBUSY:
        failure.reason = OpenRefusal::HeldByProgram;
        failure.lock = "TIOCEXCL";
        break;
    default: break;
    }
    return failure;
}

std::string OpenFailureText(const OpenFailure& failure)
{
    const std::string& device = failure.device;
    switch (failure.reason) {
    case OpenRefusal::NoDevice: return device + ": no such device";
    case OpenRefusal::NoPermission: return device + ": permission denied (group " + failure.group + ")";
    case OpenRefusal::HeldByProgram:
        if (failure.processId > 0)
            return device + " is in use by process " + std::to_string(failure.processId)
                 + (failure.program.empty() ? "" : " (" + failure.program + ")");
        if (failure.lock.find('/') != std::string::npos)
            return device + " is in use: its lock file " + failure.lock + " is not a regular file";
        return device + " is in use by another program";
    case OpenRefusal::Other: break;
    }
    return device + ": " + failure.systemText;
}

std::string LockFileName(const std::string& devicePath)
{
    std::string name = devicePath.starts_with("/dev/") ? devicePath.substr(5) : devicePath;
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

std::string QtLockFolder(const std::string& lockFileName)
{
    const std::string candidates[] = {
        "/var/lock", "/etc/locks",        "/var/spool/locks", "/var/spool/uucp", "/tmp",
        "/var/tmp",  "/var/lock/lockdev", "/run/lock",        TemporaryFolder(),
    };
    for (const std::string& folder : candidates) {
        if (folder.empty() || ::access(folder.c_str(), R_OK) != 0)
            continue;
        struct stat status{};
        if (::stat((folder + "/" + lockFileName).c_str(), &status) == 0 || ::access(folder.c_str(), W_OK) == 0)
            return folder;
    }
    return {};
}

int PendingOutput(int descriptor)
{
    int pending = 0;
    if (::ioctl(descriptor, TIOCOUTQ, &pending) == -1)
        Fail("reading the output queue", errno);
#ifdef TIOCSERGETLSR
    unsigned int lineStatus = 0;
    if (::ioctl(descriptor, TIOCSERGETLSR, &lineStatus) == 0) {
        if ((lineStatus & TIOCSER_TEMT) == 0)
            ++pending;
    } else if (!NotSupported(errno)) {
        Fail("reading the transmitter state", errno);
    }
#endif
    return pending;
}

bool ReadyForOutput(int descriptor)
{
    pollfd state{descriptor, POLLOUT, 0};
    int polled = 0;
    do {
        polled = ::poll(&state, 1, 0);
    } while (polled == -1 && errno == EINTR);
    // A device that has gone reports itself ready, so that the write that follows tells why.
    return polled == 1;
}

void Drain(int descriptor)
{
    while (::tcdrain(descriptor) == -1) {
        if (errno != EINTR)
            Fail("waiting for the output to drain", errno);
    }
}

void SetDtr(int descriptor, bool raised)
{
    const int lines = TIOCM_DTR;
    if (::ioctl(descriptor, raised ? TIOCMBIS : TIOCMBIC, &lines) == -1 && !NotSupported(errno))
        Fail(raised ? "raising DTR" : "dropping DTR", errno);
}

DeviceLock::DeviceLock(const std::string& devicePath)
{
    RefuseIfLockFileHeld(devicePath);
    descriptor_ = ::open(devicePath.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor_ == -1)
        Refuse(OpenFailureOf(devicePath, errno));
    // Checked before Qt opens the device, so that another program's port never sees its
    // line settings changed or its exclusive mode cleared by a refused open.
    bool refused = false;
    int error = 0;
    if (::flock(descriptor_, LOCK_EX | LOCK_NB) == -1) {
        error = errno;
        refused = true;
    }
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (!refused && ::ioctl(descriptor_, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
        error = EBUSY;
        refused = true;
    }
#endif
    if (refused) {
        ::close(descriptor_);
        descriptor_ = -1;
        if (error == EWOULDBLOCK)
            RefuseHeld(devicePath, "flock");
        if (error == EBUSY)
            RefuseHeld(devicePath, "TIOCEXCL");
        Fail("locking " + devicePath, error);
    }
}

DeviceLock::~DeviceLock()
{
    if (descriptor_ != -1)
        ::close(descriptor_);
}

} // namespace tallymark::posix
