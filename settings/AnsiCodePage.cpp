#include "settings/AnsiCodePage.h"

namespace tallymark {

std::size_t AnsiCharacterSize(std::string_view text)
{
    constexpr unsigned char LowestSecondByte = 0x40;
    if (text.size() >= 2 && IsAnsiLeadByte(static_cast<unsigned char>(text[0]))
        && static_cast<unsigned char>(text[1]) >= LowestSecondByte)
        return 2;
    return 1;
}

std::size_t AnsiCutLength(std::string_view text, std::size_t most)
{
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + AnsiCharacterSize(text.substr(length));
        if (next > most)
            break;
        length = next;
    }
    return length;
}

std::string_view WholeAnsiCharacters(std::string_view ansi)
{
    // Walked character by character, so that a second byte that looks like a lead byte is
    // not taken for one.
    std::size_t i = 0;
    while (i + 1 < ansi.size())
        i += AnsiCharacterSize(ansi.substr(i));
    if (i < ansi.size() && IsAnsiLeadByte(static_cast<unsigned char>(ansi[i])))
        return ansi.substr(0, i);
    return ansi;
}

} // namespace tallymark
