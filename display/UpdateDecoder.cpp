#include "display/UpdateDecoder.h"

namespace tallymark::display {

namespace {

constexpr std::uint8_t HighBit = 0x80;
constexpr std::uint8_t LowSevenBits = 0x7F;

// A packed-BCD byte up to the given limit, or nothing when a nibble is not a decimal digit.
std::optional<int> FromBcd(std::uint8_t byte, int limit)
{
    const int tens = byte >> 4;
    const int units = byte & 0x0F;
    if (tens > 9 || units > 9)
        return std::nullopt;
    const int value = tens * 10 + units;
    if (value > limit)
        return std::nullopt;
    return value;
}

std::uint8_t ToBcd(int value)
{
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

} // namespace

int BrightnessSetting(std::uint8_t brightnessCode)
{
    return 8 - (brightnessCode & 7);
}

std::optional<DisplayUpdate> DecodeUpdate(const DisplayRecord& record)
{
    const auto second = FromBcd(record[0], 59);
    const auto minute = FromBcd(record[1], 59);
    const auto hour = FromBcd(record[2], 23);
    if (!second || !minute || !hour)
        return std::nullopt;
    if (record[5] > 7 || record[7] > 59 || record[9] > 59)
        return std::nullopt;

    DisplayUpdate update;
    update.clock = {*hour, *minute, *second};
    update.countLowByte = record[4];
    if (record[3] != CountHighMarker)
        update.dayCount = static_cast<std::uint16_t>(record[3] << 8 | record[4]);
    update.brightnessCode = record[5];
    update.workTimeOn = (record[6] & HighBit) != 0;
    update.workStart = (record[6] & LowSevenBits) * 60 + record[7];
    update.countUp = (record[8] & HighBit) != 0;
    update.workEnd = (record[8] & LowSevenBits) * 60 + record[9];
    return update;
}

DisplayRecord EncodeUpdate(const DisplayUpdate& update)
{
    DisplayRecord record{};
    record[0] = ToBcd(update.clock.second);
    record[1] = ToBcd(update.clock.minute);
    record[2] = ToBcd(update.clock.hour);
    record[3] = update.dayCount ? static_cast<std::uint8_t>(*update.dayCount >> 8) : CountHighMarker;
    record[4] = update.dayCount ? static_cast<std::uint8_t>(*update.dayCount & 0xFF) : update.countLowByte;
    record[5] = update.brightnessCode;
    record[6] = static_cast<std::uint8_t>((update.workTimeOn ? HighBit : 0) | (update.workStart / 60 & LowSevenBits));
    record[7] = static_cast<std::uint8_t>(update.workStart % 60);
    record[8] = static_cast<std::uint8_t>((update.countUp ? HighBit : 0) | (update.workEnd / 60 & LowSevenBits));
    record[9] = static_cast<std::uint8_t>(update.workEnd % 60);
    return record;
}

} // namespace tallymark::display
