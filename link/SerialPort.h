#pragma once
// The serial communications component: the panel's only link to the display. The panel
// only writes; it never reads from the port.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "link/OpenFailure.h"

namespace tallymark {

// Any failing operation of the component throws this; the send and the port scan catch it.
class SerialError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An open that failed, with why.
class PortOpenError : public SerialError {
public:
    PortOpenError(OpenFailure failure, const std::string& text) : SerialError(text), failure_(std::move(failure)) { }
    const OpenFailure& Failure() const { return failure_; }

private:
    OpenFailure failure_;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The port number the next open addresses (1 to 32 as the panel uses it); set while closed.
    virtual void SetCommPort(std::int16_t port) = 0;
    virtual std::int16_t CommPort() const = 0;

    // Line settings for the next open, as "baud,parity,data bits,stop bits" ("9600,n,8,1").
    virtual void SetSettings(const std::string& settings) = 0;
    virtual std::string Settings() const = 0;

    // Opening fails when the port does not exist, access is denied or another program holds
    // it: a PortOpenError says which. Closing first lets every queued byte leave; closing a
    // closed port does nothing.
    virtual void SetPortOpen(bool open) = 0;
    virtual bool PortOpen() const = 0;

    // DTR raised (true) or dropped (false) while the port is open.
    virtual void SetDTREnable(bool enable) = 0;

    // Queue text as its single-byte characters, or raw bytes; both return without waiting.
    virtual void Output(std::string_view text) = 0;
    virtual void Output(std::span<const std::uint8_t> bytes) = 0;

    // Bytes handed over that have not yet left on the line; 0 once all are out.
    virtual int OutBufferCount() = 0;

    // Throws away every byte handed over that has not yet left, so that closing does not
    // wait for a line that no longer moves. Only for giving a send up.
    virtual void DiscardOutput() = 0;
};

} // namespace tallymark
