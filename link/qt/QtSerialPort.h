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

#include "link/SerialComponent.h"

namespace tallymark {

namespace posix {
class DeviceLock;
}

class QtSerialPort final : public SerialComponent {
public:
    // The program's folder decides where "ports/COMn" is looked for; by default the folder
    // of the running program.
    QtSerialPort();
    explicit QtSerialPort(std::string programDirectory);
    ~QtSerialPort() override;

    bool PortOpen() const override;
    int OutBufferCount() override;
    void DiscardOutput() override;

private:
    void Open() override;
    void Close() override;
    void ApplyDtr(bool raised) override;
    void Write(const char* data, std::size_t size) override;
    void PushToDriver(std::string_view operation);
    std::string ProgramFolder() const;

    std::optional<std::string> programDirectory_;
    QSerialPort port_;
    std::unique_ptr<posix::DeviceLock> lock_;
};

} // namespace tallymark
