#pragma once
// The serial component as the command sees it. The panel's send skips a failing step of its
// sending phase silently, which is right for an operator who watches the sign but would let
// a scheduled job report success for an update that never left. Every call goes through;
// what failed is kept for the command to report, and after a failure in the sending phase
// nothing more is handed over, so that the display gets no update with a piece missing.

#include <string>

#include "link/SerialPort.h"

namespace tallymark::command {

class WatchedPort final : public SerialPort {
public:
    explicit WatchedPort(SerialPort& port) : port_(port) { }

    // Why the port could not be set up or opened; empty when it could.
    const std::string& OpenError() const { return openError_; }
    // The first failure once the port was open: output, the pending count, giving the rest
    // up, or closing; empty when there was none.
    const std::string& SendError() const { return sendError_; }

    void SetCommPort(std::int16_t port) override;
    std::int16_t CommPort() const override { return port_.CommPort(); }
    void SetSettings(const std::string& settings) override;
    std::string Settings() const override { return port_.Settings(); }
    void SetPortOpen(bool open) override;
    bool PortOpen() const override { return port_.PortOpen(); }
    void SetDTREnable(bool enable) override;
    void Output(std::string_view text) override;
    void Output(std::span<const std::uint8_t> bytes) override;
    int OutBufferCount() override;
    void DiscardOutput() override;

private:
    template <typename Step>
    auto Watch(std::string& error, Step&& step);
    void RefuseAfterFailure() const;

    SerialPort& port_;
    std::string openError_;
    std::string sendError_;
};

} // namespace tallymark::command
