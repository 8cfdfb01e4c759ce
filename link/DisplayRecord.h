#pragma once
// One update of the display: the greeting "Hello" and the ten-byte record that follows it.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/LocalClock.h"
#include "link/PanelSettings.h"

namespace tallymark {

inline constexpr std::string_view Greeting = "Hello";

// Byte 3 of an update from the current-time button: the display keeps its day count.
inline constexpr std::uint8_t CountHighMarker = 0xAA;

// Bytes 0-2: clock second, minute, hour in packed BCD. 3-4: day count high and low byte
// (or CountHighMarker in 3). 5: brightness code. 6: work-time start hour, bit 7 the switch.
// 7: start minute. 8: work-time end hour, bit 7 counting up. 9: end minute.
using DisplayRecord = std::array<std::uint8_t, 10>;

// (8 - brightness) AND 7: brightness 1 to 8 gives 7 down to 0. No value when the text is
// not a number or rounds outside 0 to 255.
std::optional<std::uint8_t> BrightnessCode(std::string_view brightnessText);

// Builds the record from the panel's settings, the clicked button's index and one reading
// of the clock. A byte that cannot be worked out keeps its earlier value; it never fails.
DisplayRecord BuildDisplayRecord(const PanelSettings& settings, std::int16_t buttonIndex, const Clock& clock);

} // namespace tallymark
