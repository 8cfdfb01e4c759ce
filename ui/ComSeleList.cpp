#include "ui/ComSeleList.h"

#include "ui/ComboBox.h"

namespace tallymark {

void ComSeleList::Clear()
{
    view_.ClearList(Control::ComSele);
}

void ComSeleList::AddItem(const std::string& item)
{
    view_.AddItem(Control::ComSele, item);
    SelectItemOf(view_, Control::ComSele, Text());
}

void ComSeleList::InsertItem(int index, const std::string& item)
{
    view_.InsertItem(Control::ComSele, index, item);
    SelectItemOf(view_, Control::ComSele, Text());
}

void ComSeleList::RemoveItem(int index)
{
    view_.RemoveItem(Control::ComSele, index);
    SelectItemOf(view_, Control::ComSele, Text());
}

std::string ComSeleList::Text() const
{
    return view_.Text(Control::ComSele);
}

int ComSeleList::ListCount() const
{
    return view_.ListCount(Control::ComSele);
}

std::string ComSeleList::List(int index) const
{
    return view_.ListItem(Control::ComSele, index);
}

void ComSeleList::SetText(const std::string& text)
{
    SelectItemOf(view_, Control::ComSele, text);
    view_.SetText(Control::ComSele, text);
}

} // namespace tallymark
