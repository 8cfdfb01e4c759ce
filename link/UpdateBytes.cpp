#include "link/UpdateBytes.h"

#include <algorithm>

namespace tallymark {

UpdateBytes WholeUpdate(const DisplayRecord& record)
{
    UpdateBytes bytes{};
    const auto afterGreeting = std::copy(Greeting.begin(), Greeting.end(), bytes.begin());
    std::copy(record.begin(), record.end(), afterGreeting);
    return bytes;
}

std::string HexBytes(std::span<const std::uint8_t> bytes)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += Digits[byte >> 4];
        text += Digits[byte & 0x0F];
    }
    return text;
}

} // namespace tallymark
