#pragma once
// What Qt SerialPort leaves out on Windows, done with plain Win32 calls on a port's handle:
// the driver's pending output, waiting for it to drain, and DTR. Every failure throws
// SerialError. The handle is the HANDLE of an open communications device.

namespace tallymark::win {

// Bytes the driver still holds for sending (ClearCommError's cbOutQue). Throws when the
// device has gone.
int PendingOutput(void* handle);

// Blocks until the driver has sent everything queued.
void Drain(void* handle);

// Raises or drops DTR. A device that has no DTR to set is not a failure.
void SetDtr(void* handle, bool raised);

} // namespace tallymark::win
