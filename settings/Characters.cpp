#include "settings/Characters.h"

namespace tallymark {

std::size_t Utf8CharacterSize(std::string_view utf8)
{
    if (utf8.empty())
        return 0;
    std::size_t size = 1;
    while (size < utf8.size() && (static_cast<unsigned char>(utf8[size]) & 0xC0) == 0x80)
        ++size;
    return size;
}

std::string_view FirstCharacters(std::string_view utf8, std::size_t count)
{
    std::size_t i = 0;
    for (std::size_t characters = 0; characters < count && i < utf8.size(); ++characters)
        i += Utf8CharacterSize(utf8.substr(i));
    return utf8.substr(0, i);
}

} // namespace tallymark
