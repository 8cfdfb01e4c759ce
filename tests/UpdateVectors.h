#pragma once
// The worked examples of the update: settings, button and time of day, and the 15 bytes
// that leave the port. Plain C++ without Qt, so that the same examples check the update on
// every platform.

#include <cstdint>

#include "link/LocalClock.h"
#include "link/PanelSettings.h"

namespace tallymark::vectors {

struct UpdateExample {
    const char* name;
    PanelSettings settings;
    std::int16_t index;
    TimeOfDay time;
    const char* line; // hexadecimal, upper case, one blank between bytes
};

inline const UpdateExample UpdateExamples[] = {
    {"settings button, 999 days counting down", {"999", false, "5", 1, 420, 1140}, 1, {13, 45, 9},
     "48 65 6C 6C 6F 09 45 13 03 E7 03 87 00 13 00"},
    {"current-time button, same settings", {"999", false, "5", 1, 420, 1140}, 0, {13, 45, 9},
     "48 65 6C 6C 6F 09 45 13 AA E7 03 87 00 13 00"},
    {"counting up from 168", {"168", true, "8", 0, 510, 1035}, 1, {8, 5, 30},
     "48 65 6C 6C 6F 30 05 08 00 A8 00 08 1E 91 0F"},
    // Line-feed and carriage-return bytes in the record: a line that is not fully raw would
    // translate them.
    {"line-end bytes", {"10", false, "5", 0, 13, 10}, 1, {0, 0, 0}, "48 65 6C 6C 6F 00 00 00 00 0A 03 00 0D 00 0A"},
};

} // namespace tallymark::vectors
