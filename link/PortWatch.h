#pragma once
// Tells when a serial port may have come or gone while the panel runs, without polling: the
// kernel's inotify reports the devices of the fixed table appearing in /dev, or their
// permissions being set, and the links of the panel's folder "ports" (beside the program, or
// the user's for an installed panel: PortsFolder.h) being made or removed. Only what
// changed is named, so that only those ports are tried again.

#include <string>
#include <vector>

namespace tallymark {

class PortWatch {
public:
    explicit PortWatch(std::string programDirectory);
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // Readable when something may have changed; -1 when the system gives no watch.
    int Descriptor() const { return fd_; }

    // The port numbers that may have come or gone since the last call, in rising order;
    // never blocks.
    std::vector<int> Changes();

private:
    void WatchPortsFolder();

    std::string programDirectory_;
    std::string portsFolder_; // where new links go (PortsFolder.h)
    int fd_ = -1;
    int devices_ = -1, program_ = -1, ports_ = -1, byId_ = -1;
};

} // namespace tallymark
