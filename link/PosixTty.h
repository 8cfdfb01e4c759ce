#pragma once
// What Qt SerialPort leaves out on POSIX systems, done with plain calls on a terminal's
// descriptor: the driver's pending output, waiting for the line to drain, DTR, and holding
// a device against other programs. Every failure throws SerialError.

#include <string>

#include "link/LineSettings.h"
#include "link/OpenFailure.h"

namespace tallymark::posix {

// The line settings of `settings` ("9600,n,8,1"), where termios can carry them. It knows one
// or two stop bits only: sending one where 1.5 was asked for would report success for
// settings the line does not carry, so those are refused.
LineSettings TerminalLineSettings(const std::string& settings);

// Why opening the device failed with `error` (errno): missing, refused for lack of
// permission (with the device's group), held by a program in exclusive mode, or the
// system's words. For every serial component on a POSIX system.
OpenFailure OpenFailureOf(const std::string& devicePath, int error);

// The text of a PortOpenError for the failure, in English: "/dev/ttyS0: permission denied".
std::string OpenFailureText(const OpenFailure& failure);

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

// The name of a device's lock file: "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for
// /dev/pts/3.
std::string LockFileName(const std::string& devicePath);

// The folder where Qt SerialPort keeps lock files of this name, by Qt's own rule: the first
// of /var/lock, /etc/locks, /var/spool/locks, /var/spool/uucp, /tmp, /var/tmp,
// /var/lock/lockdev, /run/lock and the temporary folder ($TMPDIR or /tmp) that this process
// can read and in which such a file is there already or which it can write. Empty for none.
std::string QtLockFolder(const std::string& lockFileName);

// Holds a device for this program alone while the object lives: an exclusive flock on a
// descriptor of its own. Refused when another running program holds the device by a lock
// file ("LCK..<device>" with its process id, in /var/lock, /run/lock or Qt's lock folder),
// by flock, or by exclusive mode (TIOCEXCL, which does not stop the superuser by itself).
// A lock file that is not a regular file (a FIFO, a link, ...) refuses the device too,
// without being read. Refusals throw a PortOpenError that says why.
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
