#pragma once
// What every serial component keeps between calls, and the rules they all keep: the port
// number and the line settings change only while the port is closed and are checked as they
// are set, DTR is remembered for the next open, and both kinds of output are one write of
// bytes. Each platform supplies the device itself.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/SerialPort.h"

namespace tallymark {

class SerialComponent : public SerialPort {
public:
    // A component stands for one device; it is never copied.
    SerialComponent(const SerialComponent&) = delete;
    SerialComponent& operator=(const SerialComponent&) = delete;

    // 1 to HighestPortNumber; refused while open.
    void SetCommPort(std::int16_t port) final;
    std::int16_t CommPort() const final { return commPort_; }
    // Any text ParseLineSettings reads; refused while open.
    void SetSettings(const std::string& settings) final;
    std::string Settings() const final { return settings_; }
    // Opening an open port fails; closing a closed one does nothing.
    void SetPortOpen(bool open) final;
    // Remembered for the next open while closed. A device without modem lines has no DTR to
    // set; that is no failure.
    void SetDTREnable(bool enable) final;
    void Output(std::string_view text) final;
    void Output(std::span<const std::uint8_t> bytes) final;

protected:
    SerialComponent() = default;

    virtual void Open() = 0;
    virtual void Close() = 0;
    // Raises or drops DTR on the open device.
    virtual void ApplyDtr(bool raised) = 0;
    // Hands the bytes to the open device and returns without waiting for the line.
    virtual void Write(const char* data, std::size_t size) = 0;

    bool DtrEnable() const { return dtrEnable_; }
    // "COM3", for messages.
    std::string Name() const;
    void RequireOpen(std::string_view operation) const;
    void RequireClosed(std::string_view operation) const;

private:
    std::int16_t commPort_ = 1;
    std::string settings_ = "9600,n,8,1";
    bool dtrEnable_ = false;
};

} // namespace tallymark
