#pragma once
// The values an update is built from, as the window's controls hold them at the moment of
// sending. The same six values are what the settings file stores.

#include <cstdint>
#include <string>

namespace tallymark {

struct PanelSettings {
    std::string dayCountText;   // TxtDJS text
    bool countUp = false;       // OptInD value; OptDeD is its partner and is not read
    std::string brightnessText; // ComBright text
    std::int16_t workTimeSwitch = 0; // ChkWEn value: 0 off, 1 on, 2 greyed
    std::int16_t workStart = 0; // VScSTime value, minute of day
    std::int16_t workEnd = 0;   // VScETime value, minute of day
};

} // namespace tallymark
