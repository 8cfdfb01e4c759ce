#include "ui/FormView.h"

namespace tallymark {

void ShowAsCreated(FormView& view, const ControlRow& row)
{
    switch (row.kind) {
    case ControlKind::TextBox: view.SetText(row.id, std::string(row.caption)); break;
    case ControlKind::ComboBox:
        for (std::string_view item : row.items)
            view.AddItem(row.id, std::string(item));
        view.SetListIndex(row.id, SelectedItemAtStart(row));
        view.SetText(row.id, std::string(row.caption));
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::VScrollBar: view.SetValue(row.id, row.value); break;
    case ControlKind::ProgressBar:
        view.SetRange(row.id, 0, ProgressMaximumAtStart);
        view.SetValue(row.id, 0);
        break;
    default: break;
    }
}

} // namespace tallymark
