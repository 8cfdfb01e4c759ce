#include "ui/WorkTimeSwitch.h"

namespace tallymark {

WorkTimeSwitch::WorkTimeSwitch(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
    setTristate(true);
}

int WorkTimeSwitch::value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void WorkTimeSwitch::setValue(int value)
{
    switch (value) {
    case 0:
        setCheckState(Qt::Unchecked);
        break;
    case 1:
        setCheckState(Qt::Checked);
        break;
    case 2:
        setCheckState(Qt::PartiallyChecked);
        break;
    default:
        break;
    }
}

void WorkTimeSwitch::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

} // namespace tallymark
