#pragma once
// The send's situations and what each leaves behind: how each click ended, the bytes on the
// line, the progress bar's steps and the port closed at the end. Plain C++ without Qt, so
// that the same table checks the send on every platform.

#include <climits>
#include <string>
#include <vector>

#include "link/SendOperation.h"
#include "support/FakeSerialPort.h"
#include "support/RecordingSendWindow.h"

namespace tallymark::vectors {

struct SendSetup {
    testing::FakeSerialPort& port;
    testing::RecordingSendWindow& window;
    SendOperation& send;
    std::vector<SendResult>& results; // a click made while the send waits adds its own
};

struct SendOutcome {
    std::vector<SendResult> results;   // each click's, in the order they end
    std::string line;                  // the bytes on the line, in hexadecimal
    std::vector<int> progress;         // the progress bar's values
    int closes = 0;                    // times the port was set closed
    bool discarded = false;            // what had not left was given up
    bool openAtEnd = false;

    friend bool operator==(const SendOutcome&, const SendOutcome&) = default;
};

struct SendCase {
    const char* name;
    std::int16_t index;
    void (*arrange)(SendSetup&);
    SendOutcome expected;
};

using enum SendResult;

inline constexpr const char* SettingsUpdate = "48 65 6C 6C 6F 09 45 13 03 E7 03 87 00 13 00";
inline constexpr const char* ClockUpdate = "48 65 6C 6C 6F 09 45 13 AA E7 03 87 00 13 00";

// Every case sends the window's settings "999" counting down, brightness 5, 07:00 to 19:00
// switched on, at 13:45:09, on COM1 unless it says otherwise.
inline const SendCase SendCases[] = {
    {"a send", 1, [](SendSetup& s) { s.port.drainPolls = 2; }, {{Sent}, SettingsUpdate, {1, 2, 0}, 1}},
    {"the current-time button", 0, [](SendSetup&) {}, {{Sent}, ClockUpdate, {1, 2, 0}, 1}},
    {"COM32", 1, [](SendSetup& s) { s.window.comSele = "COM32"; s.port.present = {32}; },
     {{Sent}, SettingsUpdate, {1, 2, 0}, 1}},
    {"a second click while the first drains", 1,
     [](SendSetup& s) {
         s.port.drainPolls = 3;
         s.window.onDoEvents = [&s] {
             s.window.onDoEvents = nullptr;
             s.results.push_back(s.send.CmdSndClk_Click(0));
         };
     },
     {{Busy, Sent}, SettingsUpdate, {1, 2, 0}, 1}},
    {"lower-case name", 1, [](SendSetup& s) { s.window.comSele = "com1"; },
     {{BadPortName}, "", {}, 0}},
    {"leading zero", 1, [](SendSetup& s) { s.window.comSele = "COM01"; },
     {{BadPortName}, "", {}, 0}},
    {"COM33", 1, [](SendSetup& s) { s.window.comSele = "COM33"; },
     {{BadPortName}, "", {}, 0}},
    {"trailing blank", 1, [](SendSetup& s) { s.window.comSele = "COM1 "; },
     {{BadPortName}, "", {}, 0}},
    {"empty name", 1, [](SendSetup& s) { s.window.comSele = ""; },
     {{BadPortName}, "", {}, 0}},
    {"missing port", 1, [](SendSetup& s) { s.port.present = {}; },
     {{PortRefused}, "", {}, 1}},
    {"opens but reads back closed", 1, [](SendSetup& s) { s.port.openReadsFalse = true; },
     {{PortNotOpen}, "", {}, 1}},
    {"component refuses the port number", 1, [](SendSetup& s) { s.port.refuseCommPort = true; },
     {{PortRefused}, "", {}, 0}},
    {"count cannot be read", 1, [](SendSetup& s) { s.port.failCount = true; }, {{Sent}, SettingsUpdate, {1, 2, 0}, 1}},
    {"greeting and progress bar refused", 1,
     [](SendSetup& s) {
         s.port.refuseText = true;
         s.window.refuseProgress = true;
     },
     {{Sent}, "09 45 13 03 E7 03 87 00 13 00", {}, 1}},
    {"window closed under the send", 1,
     [](SendSetup& s) {
         s.port.drainPolls = INT_MAX;
         s.window.onDoEvents = [&s] { s.send.Abandon(); };
     },
     {{GivenUp}, SettingsUpdate, {1, 2}, 1, true}},
};

inline SendOutcome RunSendCase(const SendCase& c, std::string (*hex)(const std::string&))
{
    testing::FakeSerialPort port;
    testing::RecordingSendWindow window;
    SendOperation send(port, window, [] { return TimeOfDay{13, 45, 9}; });
    SendOutcome outcome;
    SendSetup setup{port, window, send, outcome.results};
    c.arrange(setup);
    outcome.results.push_back(send.CmdSndClk_Click(c.index));

    outcome.line = hex(port.sent);
    outcome.progress = window.ProgressValues();
    for (const std::string& entry : port.log) {
        outcome.closes += entry == "PortOpen=0";
        outcome.discarded = outcome.discarded || entry == "DiscardOutput";
    }
    outcome.openAtEnd = port.PortOpen();
    return outcome;
}

} // namespace tallymark::vectors
