#include "tests/support/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace tallymark::testing {

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (::openpty(&controller_, &device_, name, nullptr, nullptr) == -1)
        throw std::system_error(errno, std::generic_category(), "openpty");
    devicePath_ = name;
    // Programs the tests start must not inherit either side: a child holding the controller
    // would keep the line up after the test has hung it up.
    ::fcntl(controller_, F_SETFD, FD_CLOEXEC);
    ::fcntl(device_, F_SETFD, FD_CLOEXEC);
}

PseudoTerminal::~PseudoTerminal()
{
    if (controller_ != -1)
        ::close(controller_);
    if (device_ != -1)
        ::close(device_);
    if (opens_ != -1)
        ::close(opens_);
}

void PseudoTerminal::CountOpensAndCloses()
{
    // Watched from the first call on only: the watch slows every open of the device down.
    // A close between two opens also keeps them from merging into one event.
    if (opens_ == -1) {
        opens_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ::inotify_add_watch(opens_, devicePath_.c_str(), IN_OPEN | IN_CLOSE);
    }
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = ::read(opens_, buffer, sizeof buffer)) > 0;)
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            opened_ += (event->mask & IN_OPEN) ? 1 : 0;
            closed_ += (event->mask & IN_CLOSE) ? 1 : 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
}

int PseudoTerminal::Opens()
{
    CountOpensAndCloses();
    return opened_;
}

int PseudoTerminal::Closes()
{
    CountOpensAndCloses();
    return closed_;
}

std::vector<std::uint8_t> PseudoTerminal::Read(std::size_t count, std::chrono::milliseconds patience)
{
    std::vector<std::uint8_t> received;
    while (received.size() < count && controller_ != -1) {
        pollfd ready{controller_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(patience.count()));
        if (polled == -1 && errno == EINTR)
            continue;
        if (polled <= 0 || (ready.revents & POLLIN) == 0)
            break;
        std::uint8_t buffer[4096];
        const std::size_t wanted = std::min(sizeof buffer, count - received.size());
        const ssize_t got = ::read(controller_, buffer, wanted);
        if (got <= 0)
            break;
        received.insert(received.end(), buffer, buffer + got);
    }
    return received;
}

std::vector<std::uint8_t> PseudoTerminal::ReadUntilQuiet(std::chrono::milliseconds quiet)
{
    std::vector<std::uint8_t> received;
    for (;;) {
        std::vector<std::uint8_t> more = Read(4096, quiet);
        if (more.empty())
            return received;
        received.insert(received.end(), more.begin(), more.end());
    }
}

void PseudoTerminal::HangUp()
{
    if (controller_ != -1)
        ::close(controller_);
    controller_ = -1;
}

void LinkPort(const std::string& programDirectory, int portNumber, const std::string& target)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(programDirectory) / "ports";
    fs::create_directories(folder);
    const fs::path link = folder / ("COM" + std::to_string(portNumber));
    fs::remove(link);
    fs::create_symlink(target, link);
}

void LinkNoPorts(const std::string& programDirectory)
{
    for (int n = 1; n <= 32; ++n)
        LinkPort(programDirectory, n, NoDevice);
}

} // namespace tallymark::testing
