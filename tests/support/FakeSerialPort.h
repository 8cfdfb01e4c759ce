#pragma once
// A serial component that records every operation, for tests of the code that drives it.

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/SerialPort.h"

namespace tallymark::testing {

class FakeSerialPort : public SerialPort {
public:
    mutable std::vector<std::string> log; // "CommPort=3", "Settings=9600,n,8,1", "PortOpen=1", ...
    std::string sent;              // every byte handed to Output, in order
    std::set<int> present{1, 2, 3};// port numbers that open
    std::set<int> held;            // port numbers another program holds: opening them fails
    std::set<int> denied;          // port numbers whose device "/dev/ttyFAKEn" of group dialout refuses this user
    bool openReadsFalse = false;   // opening succeeds but PortOpen reads false afterwards
    bool failCount = false;        // OutBufferCount throws
    bool refuseCommPort = false;   // SetCommPort throws
    bool refuseText = false;       // Output of text throws
    int drainPolls = 0;            // OutBufferCount reads that report bytes still pending
    std::function<void()> onCount; // runs at every OutBufferCount read

    void SetCommPort(std::int16_t port) override
    {
        log.push_back("CommPort=" + std::to_string(port));
        if (refuseCommPort)
            throw SerialError("port number refused");
        if (open_)
            throw SerialError("port is open");
        port_ = port;
    }
    std::int16_t CommPort() const override { return port_; }
    void SetSettings(const std::string& settings) override
    {
        log.push_back("Settings=" + settings);
        settings_ = settings;
    }
    std::string Settings() const override { return settings_; }
    void SetPortOpen(bool open) override
    {
        log.push_back(std::string("PortOpen=") + (open ? "1" : "0"));
        if (open && !open_) {
            if (denied.count(port_)) {
                OpenFailure failure(OpenRefusal::NoPermission, "/dev/ttyFAKE" + std::to_string(port_));
                failure.group = "dialout";
                throw PortOpenError(failure, failure.device + ": permission denied");
            }
            if (!present.count(port_))
                throw SerialError("no such port");
            if (held.count(port_))
                throw SerialError("in use by another program");
            open_ = !openReadsFalse;
        } else if (!open) {
            open_ = false;
        }
    }
    bool PortOpen() const override
    {
        log.push_back("PortOpen?");
        return open_;
    }
    void SetDTREnable(bool enable) override { log.push_back(std::string("DTREnable=") + (enable ? "1" : "0")); }
    void Output(std::string_view text) override
    {
        log.push_back("Output(text)=" + std::string(text));
        if (refuseText)
            throw SerialError("output refused");
        sent += text;
    }
    void Output(std::span<const std::uint8_t> bytes) override
    {
        log.push_back("Output(bytes)=" + std::to_string(bytes.size()));
        sent.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    void DiscardOutput() override
    {
        log.push_back("DiscardOutput");
        drainPolls = 0;
    }
    int OutBufferCount() override
    {
        log.push_back("OutBufferCount?");
        if (onCount)
            onCount();
        if (failCount)
            throw SerialError("device has gone");
        if (drainPolls > 0) {
            --drainPolls;
            return 15;
        }
        return 0;
    }

private:
    std::int16_t port_ = 1;
    std::string settings_ = "9600,n,8,1";
    bool open_ = false;
};

} // namespace tallymark::testing
