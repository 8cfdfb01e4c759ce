#include "ui/qt/WorkTimeSwitch.h"

#include <QSignalBlocker>

namespace tallymark {

WorkTimeSwitch::WorkTimeSwitch(const QString& text, QWidget* parent) : QCheckBox(text, parent)
{
    setTristate(true);
}

int WorkTimeSwitch::value() const
{
    switch (checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void WorkTimeSwitch::setValue(int value)
{
    const QSignalBlocker quiet(this);
    setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void WorkTimeSwitch::nextCheckState()
{
    // The click that follows tells the behaviour, which sets the next value itself.
}

} // namespace tallymark
