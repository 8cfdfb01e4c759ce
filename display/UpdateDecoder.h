#pragma once
// What one update tells the display, read back from the ten bytes that follow the greeting.

#include <cstdint>
#include <optional>

#include "link/DisplayRecord.h"
#include "link/LocalClock.h"

namespace tallymark::display {

// Minute of day as the record carries it: hour times 60 plus minute. The hour field has seven
// bits, so a start or end beyond 23:59 can arrive from a panel whose settings hold one.
using MinuteOfDay = int;

struct DisplayUpdate {
    TimeOfDay clock;
    std::optional<std::uint16_t> dayCount; // no value: the marker asks to keep the count
    std::uint8_t countLowByte = 0; // byte 4, also carried next to the marker
    std::uint8_t brightnessCode = 0; // 0 brightest to 7 dimmest
    bool workTimeOn = false;
    MinuteOfDay workStart = 0;
    MinuteOfDay workEnd = 0;
    bool countUp = false;

    friend bool operator==(const DisplayUpdate&, const DisplayUpdate&) = default;
};

// The brightness the panel's list offers (1 dimmest to 8 brightest) for a code.
int BrightnessSetting(std::uint8_t brightnessCode);

// No value for ten bytes that no panel sends: a clock that is not a packed-BCD time of day,
// a brightness code above 7 or a work-time minute above 59. The reader then looks inside
// them for the next greeting.
std::optional<DisplayUpdate> DecodeUpdate(const DisplayRecord& record);

// The record that carries the update: the inverse of DecodeUpdate.
DisplayRecord EncodeUpdate(const DisplayUpdate& update);

} // namespace tallymark::display
