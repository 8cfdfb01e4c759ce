#include "ui/qt/OptionButton.h"

#include <QSignalBlocker>

namespace tallymark {

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent)
{
    // Qt's own rule would clear the partner, and its arrow keys would select it.
    setAutoExclusive(false);
}

void OptionButton::setSelected(bool selected)
{
    const QSignalBlocker quiet(this);
    setChecked(selected);
}

void OptionButton::nextCheckState()
{
    // The click that follows tells the behaviour, which sets both buttons itself.
}

} // namespace tallymark
