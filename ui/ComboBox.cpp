#include "ui/ComboBox.h"

namespace tallymark {

void SelectItemOf(FormView& view, Control combo, const std::string& text)
{
    int match = -1;
    for (int i = 0, count = view.ListCount(combo); i < count && match < 0; ++i)
        if (view.ListItem(combo, i) == text)
            match = i;
    view.SetListIndex(combo, match);
}

} // namespace tallymark
