#include "tests/support/OtherProgram.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace tallymark::testing {

OtherProgram::OtherProgram(const std::string& device, Hold hold)
{
    int ready[2];
    int release[2];
    if (::pipe(ready) == -1)
        throw std::runtime_error("pipe");
    if (::pipe(release) == -1) {
        ::close(ready[0]);
        ::close(ready[1]);
        throw std::runtime_error("pipe");
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        // Only plain system calls from here: the child of a threaded process.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        bool held = fd != -1;
        if (held && hold == Hold::Flock)
            held = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (held && hold == Hold::ExclusiveMode)
            held = ::ioctl(fd, TIOCEXCL) == 0;
        const char answer = held ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        char ignored;
        (void)!::read(release[0], &ignored, 1);
        // The tests keep the device open past this process, so the mode would outlive it.
        if (hold == Hold::ExclusiveMode)
            ::ioctl(fd, TIOCNXCL);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char answer = 'n';
    held_ = pid_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
}

OtherProgram::~OtherProgram()
{
    LetGo();
}

void OtherProgram::LetGo()
{
    if (release_ == -1)
        return;
    ::close(release_);
    release_ = -1;
    if (pid_ > 0)
        ::waitpid(pid_, nullptr, 0);
}

bool AnotherProcessCanFlock(const std::string& device)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd != -1 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace tallymark::testing
