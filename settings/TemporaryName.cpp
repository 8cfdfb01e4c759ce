#include "settings/TemporaryName.h"

namespace tallymark {
namespace {

// A decimal number as std::to_string writes one, taken off the front of the text.
std::optional<std::uint32_t> TakeNumber(std::string_view& text)
{
    std::size_t length = 0;
    std::uint64_t value = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(text[length] - '0');
        if (value > UINT32_MAX)
            return std::nullopt;
        ++length;
    }
    if (length == 0 || (text[0] == '0' && length > 1))
        return std::nullopt;
    text.remove_prefix(length);
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::optional<std::uint32_t> TemporaryFileOwner(std::string_view afterTmp, bool numbered)
{
    const std::optional<std::uint32_t> owner = TakeNumber(afterTmp);
    if (!owner || *owner == 0)
        return std::nullopt;
    if (numbered) {
        if (afterTmp.empty() || afterTmp.front() != '-')
            return std::nullopt;
        afterTmp.remove_prefix(1);
        if (!TakeNumber(afterTmp))
            return std::nullopt;
    }
    if (!afterTmp.empty())
        return std::nullopt;
    return owner;
}

} // namespace tallymark
