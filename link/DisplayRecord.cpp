#include "link/DisplayRecord.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "link/Numbers.h"

namespace tallymark {

namespace {

// A step's result that fits a byte, or nothing: the step then leaves its byte alone.
std::optional<std::uint8_t> ToByte(long long value)
{
    if (value < 0 || value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

// The day count as a 32-bit signed whole number, or nothing when it cannot be one.
std::optional<std::int32_t> DayCount(std::string_view text)
{
    const auto number = LeadingNumber(text);
    if (!number)
        return std::nullopt;
    const double n = RoundHalfEven(*number);
    if (!(n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::optional<std::uint8_t> DigitPair(char tens, char units)
{
    const auto high = LeadingNumber(std::string_view(&tens, 1));
    const auto low = LeadingNumber(std::string_view(&units, 1));
    if (!high || !low)
        return std::nullopt;
    const double value = 16.0 * *high + *low;
    if (!(value >= 0.0 && value <= 255.0))
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

void Set(DisplayRecord& record, std::size_t index, std::optional<std::uint8_t> value)
{
    if (value)
        record[index] = *value;
}

} // namespace

std::optional<std::uint8_t> BrightnessCode(std::string_view brightnessText)
{
    const auto number = DecimalNumber(brightnessText);
    if (!number)
        return std::nullopt;
    const double b = RoundHalfEven(*number);
    if (!(b >= 0.0 && b <= 255.0))
        return std::nullopt;
    const auto code = static_cast<std::int16_t>((8 - static_cast<std::int16_t>(b)) & 7);
    return static_cast<std::uint8_t>(code);
}

DisplayRecord BuildDisplayRecord(const PanelSettings& settings, std::int16_t buttonIndex, const Clock& clock)
{
    DisplayRecord record{};

    // Bytes 3 and 4: the day count, or the marker that leaves the display's count alone.
    if (buttonIndex == 0) {
        record[3] = CountHighMarker;
    } else if (const auto n = DayCount(settings.dayCountText)) {
        Set(record, 3, ToByte(*n / 256));
    }
    if (const auto n = DayCount(settings.dayCountText))
        Set(record, 4, ToByte(*n % 256));

    Set(record, 5, BrightnessCode(settings.brightnessText));

    const int start = settings.workStart;
    const int end = settings.workEnd;
    Set(record, 6, ToByte(start / 60 + 128LL * settings.workTimeSwitch));
    Set(record, 7, ToByte(start % 60));
    Set(record, 8, ToByte(end / 60));
    if (settings.countUp)
        Set(record, 8, ToByte(record[8] + 128));
    Set(record, 9, ToByte(end % 60));

    // One reading of the clock, after the settings bytes, so the three clock bytes agree.
    const std::string time = ClockText(clock());
    if (time.size() >= 8) {
        Set(record, 2, DigitPair(time[0], time[1]));
        Set(record, 1, DigitPair(time[3], time[4]));
        Set(record, 0, DigitPair(time[6], time[7]));
    }
    return record;
}

} // namespace tallymark
