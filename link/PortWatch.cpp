#include "link/PortWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "link/PortNames.h"
#include "link/PortsFolder.h"

namespace tallymark {

namespace {

constexpr std::uint32_t EntryChanges = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM;
constexpr std::uint32_t Arrivals = IN_CREATE | IN_MOVED_TO; // what a folder not there yet is awaited by
constexpr std::uint32_t Departures = IN_DELETE_SELF | IN_MOVE_SELF; // and IN_IGNORED, which always comes

// The ports that the ports folders' links name: a device behind a stable name
// (/dev/serial/by-id) may be what just came or went.
void AddLinkedPorts(const std::string& programDirectory, std::vector<int>& numbers)
{
    namespace fs = std::filesystem;
    for (const std::string& folder : PortsFoldersToSearch(programDirectory))
        for (int n = 1; n <= HighestPortNumber; ++n) {
            std::error_code error;
            const fs::path entry = fs::path(folder) / PortName(n);
            if (fs::exists(fs::symlink_status(entry, error)))
                numbers.push_back(n);
        }
}

// Whether an entry made in `watched` lies on the way to `path`.
bool Leads(const std::string& watched, std::string_view name, const std::string& path)
{
    const std::string next = (watched.ends_with('/') ? watched : watched + '/') + std::string(name);
    return path == next || path.starts_with(next + '/');
}

} // namespace

PortWatch::PortWatch(std::string programDirectory, std::string serialFolder)
    : programDirectory_(std::move(programDirectory))
{
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ == -1)
        return;
    devices_ = inotify_add_watch(fd_, "/dev", EntryChanges);
    folders_ = {{serialFolder, false}, {serialFolder + "/by-id", false}};
    for (std::string& ports : PortsFoldersToSearch(programDirectory_))
        folders_.push_back({std::move(ports), true});
    for (Followed& folder : folders_)
        Follow(folder);
}

PortWatch::~PortWatch()
{
    if (fd_ != -1)
        ::close(fd_);
}

bool PortWatch::DeviceExists(int portNumber) const
{
    return PortDeviceExists(portNumber, programDirectory_);
}

void PortWatch::Follow(Followed& folder)
{
    namespace fs = std::filesystem;
    // Added to what the same folder is watched for already: /dev, or a folder that is
    // followed itself and awaits another below it.
    for (fs::path at = folder.path; !at.empty(); at = at.parent_path()) {
        const bool itself = at == fs::path(folder.path);
        folder.watch = inotify_add_watch(fd_, at.c_str(),
                                         (itself ? EntryChanges | Departures : Arrivals) | IN_ONLYDIR | IN_MASK_ADD);
        folder.watched = at.string();
        folder.reached = itself && folder.watch != -1;
        if (folder.watch != -1 || at == at.parent_path())
            return;
    }
}

bool PortWatch::FollowAgain()
{
    bool portsWent = false;
    std::vector<int> before;
    for (Followed& folder : folders_) {
        before.push_back(folder.watch);
        const bool wasReached = folder.reached;
        Follow(folder);
        portsWent = portsWent || (folder.holdsPorts && wasReached && !folder.reached);
    }
    // A watch that no folder needs any more would only wake the panel.
    for (const int watch : before)
        if (watch != -1 && watch != devices_
            && std::none_of(folders_.begin(), folders_.end(), [&](const Followed& f) { return f.watch == watch; }))
            inotify_rm_watch(fd_, watch);
    return portsWent;
}

std::vector<int> PortWatch::Changes()
{
    std::vector<int> numbers;
    bool linked = false, followAgain = false, everyPort = false;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string_view name = event->len ? std::string_view(event->name) : std::string_view();
            // Events were lost: every port may have changed, and any folder come or gone.
            if (event->mask & IN_Q_OVERFLOW) {
                everyPort = followAgain = true;
                continue;
            }
            if (event->wd == devices_)
                if (const int n = StandardPortNumber(name)) {
                    numbers.push_back(n);
                    linked = true;
                }
            for (const Followed& folder : folders_) {
                if (event->wd != folder.watch)
                    continue;
                if ((event->mask & (Departures | IN_IGNORED))
                    || (!folder.reached && Leads(folder.watched, name, folder.path)))
                    followAgain = true;
                else if (folder.reached && !folder.holdsPorts)
                    linked = true;
                else if (folder.reached)
                    if (const int n = PortNumberOf(name))
                        numbers.push_back(n);
            }
        }
    }
    // A folder that came may hold links made before its watch was set; one that went took
    // its links with it.
    if (followAgain) {
        everyPort = FollowAgain() || everyPort;
        linked = true;
    }
    if (linked)
        AddLinkedPorts(programDirectory_, numbers);
    for (int n = 1; everyPort && n <= HighestPortNumber; ++n)
        numbers.push_back(n);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

} // namespace tallymark
