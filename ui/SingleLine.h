#pragma once
// What a single-line box keeps of text pasted or dropped into it: the first line only, as a
// Windows single-line edit does. A line break in a box's text would otherwise cut a typed
// time short, or make the settings file refuse the value at closing.

#include <cstddef>
#include <string>
#include <string_view>

namespace tallymark {

struct SingleLineEdit {
    std::u16string text;
    std::size_t cursor = 0;
};

// `text` is the box's text with the insertion made and `cursor` the position just after the
// inserted part (in UTF-16 units, as both toolkits count). What the insertion brought from
// its first line break (CR or LF) on is dropped; the text before and after it stays.
SingleLineEdit KeepFirstLine(std::u16string_view text, std::size_t cursor);

} // namespace tallymark
