#include "settings/AnsiCodePage.h"

namespace tallymark {

std::string_view WholeAnsiCharacters(std::string_view ansi)
{
    std::size_t i = 0;
    while (i < ansi.size()) {
        if (!IsAnsiLeadByte(static_cast<unsigned char>(ansi[i]))) {
            ++i;
        } else if (i + 1 < ansi.size()) {
            i += 2;
        } else {
            return ansi.substr(0, i);
        }
    }
    return ansi;
}

std::string_view FirstCharacters(std::string_view utf8, std::size_t count)
{
    std::size_t i = 0;
    for (std::size_t characters = 0; i < utf8.size(); ++i) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == count)
            break;
    }
    return utf8.substr(0, i);
}

} // namespace tallymark
