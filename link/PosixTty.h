#pragma once
// What Qt SerialPort leaves out on POSIX systems, done with plain calls on a terminal's
// descriptor: the driver's pending output, waiting for the line to drain, DTR, and holding
// a device against other programs. Every failure throws SerialError.

#include <string>

namespace tallymark::posix {

// Bytes queued in the driver, plus one while the transmitter still shifts out the last
// character where the driver tells (on a UART the FIFO empties before the line does).
// Throws when the device has gone.
int PendingOutput(int descriptor);

// Whether the driver takes more output now without blocking. Qt reports a full driver
// buffer as a lost device, so it is only handed bytes when this says yes.
bool ReadyForOutput(int descriptor);

// Blocks until the driver has sent everything queued on the line.
void Drain(int descriptor);

// Raises or drops DTR. A device without modem-control lines (a pseudo-terminal, some USB
// adapters) has no DTR to set; that is not a failure.
void SetDtr(int descriptor, bool raised);

// Holds a device for this program alone while the object lives: an exclusive flock on a
// descriptor of its own. Refused when another running program holds the device by a lock
// file ("LCK..<device>" in a lock folder, with its process id), by flock, or by exclusive
// mode (TIOCEXCL, which does not stop the superuser by itself).
class DeviceLock {
public:
    explicit DeviceLock(const std::string& devicePath);
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    int descriptor_ = -1;
};

} // namespace tallymark::posix
