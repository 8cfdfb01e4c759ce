#pragma once
// The send's situations and what each leaves behind: the message shown, the bytes on the
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
};

struct SendOutcome {
    std::vector<std::string> messages; // "text|title"
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

inline std::string Shown(std::string_view text, std::string_view title)
{
    return std::string(text) + "|" + std::string(title);
}

inline constexpr const char* SettingsUpdate = "48 65 6C 6C 6F 09 45 13 03 E7 03 87 00 13 00";
inline constexpr const char* ClockUpdate = "48 65 6C 6C 6F 09 45 13 AA E7 03 87 00 13 00";

// Every case sends the window's settings "999" counting down, brightness 5, 07:00 to 19:00
// switched on, at 13:45:09, on COM1 unless it says otherwise.
inline const SendCase SendCases[] = {
    {"a send", 1, [](SendSetup& s) { s.port.drainPolls = 2; }, {{}, SettingsUpdate, {1, 2, 0}, 1}},
    {"the current-time button", 0, [](SendSetup&) {}, {{}, ClockUpdate, {1, 2, 0}, 1}},
    {"COM32", 1, [](SendSetup& s) { s.window.comSele = "COM32"; s.port.present = {32}; },
     {{}, SettingsUpdate, {1, 2, 0}, 1}},
    {"a second click while the first drains", 1,
     [](SendSetup& s) {
         s.port.drainPolls = 3;
         s.window.onDoEvents = [&s] {
             s.window.onDoEvents = nullptr;
             s.send.CmdSndClk_Click(0);
         };
     },
     {{Shown(Messages::Busy, Messages::BusyTitle)}, SettingsUpdate, {1, 2, 0}, 1}},
    {"lower-case name", 1, [](SendSetup& s) { s.window.comSele = "com1"; },
     {{Shown(Messages::BadPortName, Messages::BadPortNameTitle)}, "", {}, 0}},
    {"leading zero", 1, [](SendSetup& s) { s.window.comSele = "COM01"; },
     {{Shown(Messages::BadPortName, Messages::BadPortNameTitle)}, "", {}, 0}},
    {"COM33", 1, [](SendSetup& s) { s.window.comSele = "COM33"; },
     {{Shown(Messages::BadPortName, Messages::BadPortNameTitle)}, "", {}, 0}},
    {"trailing blank", 1, [](SendSetup& s) { s.window.comSele = "COM1 "; },
     {{Shown(Messages::BadPortName, Messages::BadPortNameTitle)}, "", {}, 0}},
    {"empty name", 1, [](SendSetup& s) { s.window.comSele = ""; },
     {{Shown(Messages::BadPortName, Messages::BadPortNameTitle)}, "", {}, 0}},
    {"missing port", 1, [](SendSetup& s) { s.port.present = {}; },
     {{Shown(Messages::OpenFailed, Messages::OpenFailedTitle)}, "", {}, 1}},
    {"opens but reads back closed", 1, [](SendSetup& s) { s.port.openReadsFalse = true; },
     {{Shown(Messages::NotOpen, Messages::NotOpenTitle)}, "", {}, 1}},
    {"component refuses the port number", 1, [](SendSetup& s) { s.port.refuseCommPort = true; },
     {{Shown(Messages::OpenFailed, Messages::OpenFailedTitle)}, "", {}, 0}},
    {"count cannot be read", 1, [](SendSetup& s) { s.port.failCount = true; }, {{}, SettingsUpdate, {1, 2, 0}, 1}},
    {"greeting and progress bar refused", 1,
     [](SendSetup& s) {
         s.port.refuseText = true;
         s.window.refuseProgress = true;
     },
     {{}, "09 45 13 03 E7 03 87 00 13 00", {}, 1}},
    {"window closed under the send", 1,
     [](SendSetup& s) {
         s.port.drainPolls = INT_MAX;
         s.window.onDoEvents = [&s] { s.send.Abandon(); };
     },
     {{}, SettingsUpdate, {1, 2}, 1, true}},
};

inline SendOutcome RunSendCase(const SendCase& c, std::string (*hex)(const std::string&))
{
    testing::FakeSerialPort port;
    testing::RecordingSendWindow window;
    SendOperation send(port, window, [] { return TimeOfDay{13, 45, 9}; });
    SendSetup setup{port, window, send};
    c.arrange(setup);
    send.CmdSndClk_Click(c.index);

    SendOutcome outcome;
    outcome.messages = window.messages;
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
