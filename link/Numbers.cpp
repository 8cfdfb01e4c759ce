#include "link/Numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tallymark {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Scans the longest number at the start of `text` (which holds no blanks) and returns its
// length; `digits` tells whether the mantissa held a digit.
std::size_t ScanNumber(std::string_view text, bool& digits)
{
    std::size_t i = 0;
    digits = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i]))
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return 0;
    // The exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Converts a complete number as scanned above; overflow gives no value, underflow gives 0.
std::optional<double> Convert(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports both overflow and underflow this way; tell them apart by the
        // exponent's direction as written.
        const auto e = number.find_first_of("eE");
        const bool tinyExponent = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        const bool zeroMantissa = number.substr(0, e).find_first_not_of("0.") == std::string_view::npos;
        if (tinyExponent || zeroMantissa)
            value = 0.0;
        else
            return std::nullopt;
    } else if (ec != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    if (std::isinf(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<double> LeadingNumber(std::string_view text)
{
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact.push_back(c);

    bool digits = false;
    const std::size_t length = ScanNumber(compact, digits);
    if (!digits)
        return 0.0;
    return Convert(std::string_view(compact).substr(0, length));
}

double RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction < 0.5)
        return down;
    if (fraction > 0.5)
        return down + 1.0;
    // Even when half of it is whole; the division by two is exact. (Without fmod, which
    // would bring the maths library into tallymark-send's start.)
    return std::floor(down / 2.0) * 2.0 == down ? down : down + 1.0;
}

std::optional<double> DecimalNumber(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    bool digits = false;
    if (ScanNumber(text, digits) != text.size() || !digits)
        return std::nullopt;
    return Convert(text);
}

} // namespace tallymark
