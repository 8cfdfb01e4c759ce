#include "ui/ComboBox.h"

#include <algorithm>

#include "settings/Characters.h"

namespace tallymark {

namespace {

bool BeginsWith(const std::string& item, const std::string& text)
{
    return item.size() >= text.size() && std::equal(text.begin(), text.end(), item.begin(), [](char a, char b) {
               return FoldCase(a) == FoldCase(b);
           });
}

} // namespace

void SelectItemOf(FormView& view, Control combo, const std::string& text)
{
    int match = -1;
    for (int i = 0, count = view.ListCount(combo); i < count && match < 0; ++i)
        if (view.ListItem(combo, i) == text)
            match = i;
    view.SetListIndex(combo, match);
}

int FindItem(const FormView& view, Control combo, const std::string& text)
{
    if (text.empty())
        return -1;
    for (int i = 0, count = view.ListCount(combo); i < count; ++i)
        if (BeginsWith(view.ListItem(combo, i), text))
            return i;
    return -1;
}

std::optional<int> ItemAfterKey(const FormView& view, Control combo, Key key)
{
    int step = 0;
    switch (key) {
    case Key::Up: step = -1; break;
    case Key::Down: step = 1; break;
    case Key::PageUp: step = 1 - DropDownRows; break;
    case Key::PageDown: step = DropDownRows - 1; break;
    default: return std::nullopt;
    }
    const int count = view.ListCount(combo);
    if (count == 0)
        return std::nullopt;
    const int from = FindItem(view, combo, view.Text(combo));
    if (from < 0)
        return 0;
    return std::clamp(from + step, 0, count - 1);
}

} // namespace tallymark
