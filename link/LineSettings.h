#pragma once
// Line settings as the serial component takes them: one text "baud,parity,data bits,stop
// bits", for example "9600,n,8,1".

#include <string_view>

namespace tallymark {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Reads the four comma-separated fields: a baud rate (decimal digits, 1 to 4,000,000), a
// parity letter n, e, o, m or s in either case, data bits 5 to 8, and stop bits 1, 1.5 or
// 2. No blanks are allowed. A text that does not read this way throws SerialError.
LineSettings ParseLineSettings(std::string_view text);

} // namespace tallymark
