#include "ui/SingleLine.h"

namespace tallymark {

SingleLineEdit KeepFirstLine(std::u16string_view text, std::size_t cursor)
{
    if (cursor > text.size())
        cursor = text.size();
    // A box never holds a line break of its own, so every break came with the insertion,
    // which ends at the cursor.
    const std::size_t lineBreak = text.substr(0, cursor).find_first_of(u"\r\n");
    if (lineBreak == std::u16string_view::npos) {
        const std::size_t late = text.find_first_of(u"\r\n", cursor);
        if (late == std::u16string_view::npos)
            return {std::u16string(text), cursor};
        // A break after the cursor: the whole insertion's end is unknown, so the text is cut there.
        return {std::u16string(text.substr(0, late)), cursor};
    }
    std::u16string kept(text.substr(0, lineBreak));
    kept.append(text.substr(cursor));
    return {kept, lineBreak};
}

} // namespace tallymark
