#pragma once
// The serial component on plain Win32 (kernel32 only): "COMn" is the system's own port
// "\\.\COMn", held for this program alone while open. Output is written overlapped, so that
// it returns at once; every write is bounded in time, so that a line that has stopped moving
// fails the write instead of keeping the port open for ever.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/SerialComponent.h"

namespace tallymark {

class Win32SerialPort final : public SerialComponent {
public:
    Win32SerialPort();
    // Closes an open port; a failure to drain is dropped, the port is let go of all the same.
    ~Win32SerialPort() override;

    bool PortOpen() const override;
    // Writes not yet completed plus the driver's output queue. Fails once a write has failed
    // or the device has gone, so that a wait for 0 ends.
    int OutBufferCount() override;
    // Aborts the writes under way and clears the driver's queue.
    void DiscardOutput() override;

    // The open device (a HANDLE), or INVALID_HANDLE_VALUE while closed; for checks that ask
    // the driver what it holds.
    void* Handle() const;

private:
    struct PendingWrite;

    // Opening fails when the device does not carry the line settings exactly. Closing waits,
    // within a bound, until what was handed over has left, and always lets the device go.
    void Open() override;
    void Close() override;
    void ApplyDtr(bool raised) override;
    void Write(const char* data, std::size_t size) override;
    void Reap();
    std::string FinishWrites();
    std::string WaitForEmptyQueue();
    bool CancelWrites();

    void* handle_;
    int msPerByte_ = 1;
    std::vector<std::unique_ptr<PendingWrite>> writes_;
    std::string failure_; // the first write that failed since opening; the line is then broken
};

} // namespace tallymark
