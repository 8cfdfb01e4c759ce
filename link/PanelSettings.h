#pragma once
// The values an update is built from, as the window's controls hold them at the moment of
// sending. The same six values are what the settings file stores.

#include <cstdint>
#include <string>

namespace tallymark {

// A minute of day runs from 00:00 to 23:59.
inline constexpr int FirstMinuteOfDay = 0;
inline constexpr int LastMinuteOfDay = 23 * 60 + 59;

// The day-count box takes three characters: counts up to 999.
inline constexpr int DayCountMaxLength = 3;

// The working-time switch is 0 off, 1 on or 2 greyed.
inline constexpr int LowestSwitchValue = 0;
inline constexpr int HighestSwitchValue = 2;

struct PanelSettings {
    std::string dayCountText; // TxtDJS text
    bool countUp = false; // OptInD value; OptDeD, counting down, is its partner
    std::string brightnessText; // ComBright text
    std::int16_t workTimeSwitch = 0; // ChkWEn value: 0 off, 1 on, 2 greyed
    std::int16_t workStart = 0; // VScSTime value, minute of day
    std::int16_t workEnd = 0; // VScETime value, minute of day

    friend bool operator==(const PanelSettings&, const PanelSettings&) = default;
};

} // namespace tallymark
