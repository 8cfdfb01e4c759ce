#include "link/LineSettings.h"

#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace tallymark {

namespace {

constexpr int HighestBaudRate = 4'000'000;

[[noreturn]] void Refuse(std::string_view text, std::string_view why)
{
    throw SerialError("line settings \"" + std::string(text) + "\": " + std::string(why));
}

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

int BaudRateOf(std::string_view field, std::string_view text)
{
    if (field.empty())
        Refuse(text, "no baud rate");
    long long value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            Refuse(text, "the baud rate is not a whole number");
        value = value * 10 + (c - '0');
        if (value > HighestBaudRate)
            Refuse(text, "the baud rate is too high");
    }
    if (value == 0)
        Refuse(text, "the baud rate is 0");
    return static_cast<int>(value);
}

Parity ParityOf(std::string_view field, std::string_view text)
{
    if (field.size() == 1) {
        switch (field.front()) {
        case 'n':
        case 'N': return Parity::None;
        case 'e':
        case 'E': return Parity::Even;
        case 'o':
        case 'O': return Parity::Odd;
        case 'm':
        case 'M': return Parity::Mark;
        case 's':
        case 'S': return Parity::Space;
        default: break;
        }
    }
    Refuse(text, "the parity is not one of n, e, o, m, s");
}

int DataBitsOf(std::string_view field, std::string_view text)
{
    if (field.size() == 1 && field.front() >= '5' && field.front() <= '8')
        return field.front() - '0';
    Refuse(text, "the data bits are not 5 to 8");
}

StopBits StopBitsOf(std::string_view field, std::string_view text)
{
    if (field == "1")
        return StopBits::One;
    if (field == "1.5")
        return StopBits::OneAndHalf;
    if (field == "2")
        return StopBits::Two;
    Refuse(text, "the stop bits are not 1, 1.5 or 2");
}

} // namespace

LineSettings ParseLineSettings(std::string_view text)
{
    const std::vector<std::string_view> fields = SplitFields(text);
    if (fields.size() != 4)
        Refuse(text, "four fields separated by commas are needed");
    LineSettings settings;
    settings.baudRate = BaudRateOf(fields[0], text);
    settings.parity = ParityOf(fields[1], text);
    settings.dataBits = DataBitsOf(fields[2], text);
    settings.stopBits = StopBitsOf(fields[3], text);
    return settings;
}

} // namespace tallymark
