#pragma once
// The serial component on Qt SerialPort, for Linux and other POSIX systems (Windows has
// link/win): port numbers reach devices through the panel's naming rule, the port is held
// against other programs while open, and the pending count covers the driver and the line,
// not only Qt's own buffer.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <QSerialPort>

#include "link/SerialPort.h"

namespace tallymark {

namespace posix {
class DeviceLock;
}

class QtSerialPort : public SerialPort {
public:
    // The program's folder decides where "ports/COMn" is looked for; by default the folder
    // of the running program.
    QtSerialPort();
    explicit QtSerialPort(std::string programDirectory);
    ~QtSerialPort() override;

    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    void SetCommPort(std::int16_t port) override;
    std::int16_t CommPort() const override;
    void SetSettings(const std::string& settings) override;
    std::string Settings() const override;
    void SetPortOpen(bool open) override;
    bool PortOpen() const override;
    void SetDTREnable(bool enable) override;
    void Output(std::string_view text) override;
    void Output(std::span<const std::uint8_t> bytes) override;
    int OutBufferCount() override;
    void DiscardOutput() override;

private:
    void Open();
    void Close();
    void Write(const char* data, qint64 size);
    void RequireOpen(std::string_view operation) const;
    void RequireClosed(std::string_view operation) const;
    void PushToDriver(std::string_view operation);
    std::string ProgramFolder() const;

    std::optional<std::string> programDirectory_;
    std::int16_t commPort_ = 1;
    std::string settings_ = "9600,n,8,1";
    bool dtrEnable_ = false;
    QSerialPort port_;
    std::unique_ptr<posix::DeviceLock> lock_;
};

} // namespace tallymark
