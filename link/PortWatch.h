#pragma once
// Tells when a serial port may have come or gone while the panel runs, without polling: the
// kernel's inotify reports the devices of the fixed table appearing in /dev, or their
// permissions being set, the stable names in /dev/serial and /dev/serial/by-id, and the links
// of the panel's folders "ports" (beside the program, or the user's for an installed panel:
// PortsFolder.h) being made or removed. A folder that is not there is watched from the
// nearest folder above it that is, so that it is followed once it comes, and again after it
// went and came back: udev removes /dev/serial with the last adapter.

#include <string>
#include <utility>
#include <vector>

namespace tallymark {

// Where udev keeps the stable names of serial devices.
inline constexpr const char* StableNamesFolder = "/dev/serial";

class PortWatch {
public:
    // serialFolder stands for /dev/serial, so that a check can make and remove the folder.
    explicit PortWatch(std::string programDirectory, std::string serialFolder = StableNamesFolder);
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // Readable when something may have changed; -1 when the system gives no watch.
    int Descriptor() const { return fd_; }

    // The port numbers that may have come or gone since the last call, in rising order;
    // never blocks. Candidates only: a link's device may or may not have changed.
    std::vector<int> Changes();

    // Whether port `portNumber`'s device is there now, without opening it (PortNames.h).
    bool DeviceExists(int portNumber) const;

private:
    // A folder whose entries name ports, or lead to their devices.
    struct Followed {
        Followed(std::string folder, bool ports) : path(std::move(folder)), holdsPorts(ports) { }
        std::string path;
        bool holdsPorts; // entries named COMn, rather than stable device names
        int watch = -1; // on the folder itself once reached, else on the nearest folder above
        std::string watched; // the folder that watch is on
        bool reached = false;
    };
    void Follow(Followed& folder);
    // Sets every folder's watch again where a folder came or went; whether a ports folder went.
    bool FollowAgain();

    std::string programDirectory_;
    std::vector<Followed> folders_;
    int fd_ = -1;
    int devices_ = -1;
};

} // namespace tallymark
