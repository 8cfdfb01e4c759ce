#pragma once
// The serial component on plain POSIX terminal calls, without a toolkit: what tallymark-send
// runs on outside Windows, so that a machine without a desktop needs no Qt for it. Port
// numbers reach devices by the panel's naming rule, and the port is held against other
// programs as the Qt component holds it: the device lock, exclusive mode and a lock file in
// Qt SerialPort's own form, so that the panel and this component refuse each other.

#include <cstddef>
#include <memory>
#include <string>

#include "link/SerialComponent.h"

namespace tallymark {

namespace posix {
class DeviceLock;
}

class PosixTtyPort final : public SerialComponent {
public:
    // The program's folder decides where "ports/COMn" is looked for.
    explicit PosixTtyPort(std::string programDirectory);
    ~PosixTtyPort() override;

    bool PortOpen() const override { return descriptor_ != -1; }
    int OutBufferCount() override;
    void DiscardOutput() override;

private:
    void Open() override;
    void Close() override;
    void ApplyDtr(bool raised) override;
    void Write(const char* data, std::size_t size) override;
    void OpenDevice(const std::string& device);
    void Release();

    std::string programDirectory_;
    int descriptor_ = -1;
    std::unique_ptr<posix::DeviceLock> lock_;
    std::string lockFilePath_; // the lock file made at the open; empty when none was
    int lockFileDescriptor_ = -1;
};

} // namespace tallymark
