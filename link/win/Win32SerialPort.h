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

#include "link/SerialPort.h"

namespace tallymark {

class Win32SerialPort final : public SerialPort {
public:
    Win32SerialPort();
    // Closes an open port; a failure to drain is dropped, the port is let go of all the same.
    ~Win32SerialPort() override;

    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // 1 to HighestPortNumber; refused while open.
    void SetCommPort(std::int16_t port) override;
    std::int16_t CommPort() const override;
    // Any text ParseLineSettings reads; refused while open. Opening fails when the device
    // does not carry the settings exactly.
    void SetSettings(const std::string& settings) override;
    std::string Settings() const override;
    // Opening an open port fails; closing a closed one does nothing. Closing waits, within a
    // bound, until what was handed over has left, and always lets the device go.
    void SetPortOpen(bool open) override;
    bool PortOpen() const override;
    // Remembered for the next open while closed. A device without modem lines has no DTR to
    // set; that is no failure.
    void SetDTREnable(bool enable) override;
    void Output(std::string_view text) override;
    void Output(std::span<const std::uint8_t> bytes) override;
    // Writes not yet completed plus the driver's output queue. Fails once a write has failed
    // or the device has gone, so that a wait for 0 ends.
    int OutBufferCount() override;
    // Aborts the writes under way and clears the driver's queue.
    void DiscardOutput() override;

    // The open device (a HANDLE), or INVALID_HANDLE_VALUE while closed; for checks that ask
    // the driver what it holds.
    void* Handle() const;

private:
    struct Write;

    void Open();
    void Close();
    void Send(const void* data, std::size_t size);
    void Reap();
    std::string FinishWrites();
    std::string WaitForEmptyQueue();
    bool CancelWrites();
    void RequireOpen(std::string_view operation) const;
    void RequireClosed(std::string_view operation) const;
    std::string Name() const;

    std::int16_t commPort_ = 1;
    std::string settings_ = "9600,n,8,1";
    bool dtrEnable_ = false;
    void* handle_;
    int msPerByte_ = 1;
    std::vector<std::unique_ptr<Write>> writes_;
    std::string failure_; // the first write that failed since opening; the line is then broken
};

} // namespace tallymark
