#include "ui/ComboPortList.h"

#include <QComboBox>

namespace tallymark {

ComboPortList::ComboPortList(QComboBox& combo)
    : combo_(combo)
{
}

void ComboPortList::Clear()
{
    combo_.clear();
    combo_.clearEditText();
}

void ComboPortList::AddItem(const std::string& item)
{
    // Adding to an empty list would otherwise select the new item and show its text.
    const QString text = combo_.currentText();
    const int index = combo_.currentIndex();
    combo_.addItem(QString::fromStdString(item));
    if (combo_.currentIndex() != index) {
        combo_.setCurrentIndex(index);
        combo_.setEditText(text);
    }
}

int ComboPortList::ListCount() const
{
    return combo_.count();
}

std::string ComboPortList::List(int index) const
{
    return combo_.itemText(index).toStdString();
}

void ComboPortList::SetText(const std::string& text)
{
    // The list keeps its selection in step with the text, so that the drop-down opens on it.
    const QString shown = QString::fromStdString(text);
    const int index = combo_.findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo_.setCurrentIndex(index);
    combo_.setEditText(shown);
}

} // namespace tallymark
