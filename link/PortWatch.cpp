#include "link/PortWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "link/PortNames.h"
#include "link/PortsFolder.h"
#include "link/SendOperation.h"

namespace tallymark {

namespace {

constexpr std::uint32_t EntryChanges = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM;

// The ports that the ports folders' links name: a device behind a stable name
// (/dev/serial/by-id) may be what just came or went.
void AddLinkedPorts(const std::string& programDirectory, std::vector<int>& numbers)
{
    namespace fs = std::filesystem;
    for (const std::string& folder : PortsFoldersToSearch(programDirectory))
        for (int n = 1; n <= HighestPortNumber; ++n) {
            std::error_code error;
            const fs::path entry = fs::path(folder) / ("COM" + std::to_string(n));
            if (fs::exists(fs::symlink_status(entry, error)))
                numbers.push_back(n);
        }
}

} // namespace

PortWatch::PortWatch(std::string programDirectory)
    : programDirectory_(std::move(programDirectory)), portsFolder_(PortsFolder(programDirectory_))
{
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ == -1)
        return;
    devices_ = inotify_add_watch(fd_, "/dev", EntryChanges);
    byId_ = inotify_add_watch(fd_, "/dev/serial/by-id", EntryChanges);
    // The folder that holds ports/, for ports/ made while the panel runs: the program's own,
    // or the user's for an installed panel.
    if (!portsFolder_.empty()) {
        const std::string parent = std::filesystem::path(portsFolder_).parent_path().string();
        program_ = inotify_add_watch(fd_, parent.c_str(), IN_CREATE | IN_MOVED_TO | IN_ONLYDIR);
    }
    WatchPortsFolder();
}

PortWatch::~PortWatch()
{
    if (fd_ != -1)
        ::close(fd_);
}

void PortWatch::WatchPortsFolder()
{
    if (!portsFolder_.empty())
        ports_ = inotify_add_watch(fd_, portsFolder_.c_str(), EntryChanges | IN_ONLYDIR);
}

std::vector<int> PortWatch::Changes()
{
    std::vector<int> numbers;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string_view name = event->len ? std::string_view(event->name) : std::string_view();
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were lost: every port may have changed.
                for (int n = 1; n <= HighestPortNumber; ++n)
                    numbers.push_back(n);
            } else if (event->wd == devices_) {
                if (const int n = StandardPortNumber(name)) {
                    numbers.push_back(n);
                    AddLinkedPorts(programDirectory_, numbers);
                }
            } else if (event->wd == byId_) {
                AddLinkedPorts(programDirectory_, numbers);
            } else if (event->wd == ports_) {
                if (event->mask & IN_IGNORED) {
                    // The folder went, and its links with it.
                    ports_ = -1;
                    for (int n = 1; n <= HighestPortNumber; ++n)
                        numbers.push_back(n);
                } else if (const int n = PortNumberOf(name)) {
                    numbers.push_back(n);
                }
            } else if (event->wd == program_ && name == "ports") {
                WatchPortsFolder();
                AddLinkedPorts(programDirectory_, numbers);
            }
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

} // namespace tallymark
