#include "ui/TimeSpinner.h"

#include "ui/WorkTimeEditor.h"

namespace tallymark {

TimeSpinner::TimeSpinner(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
{
    setRange(0, LastMinuteOfDay - FirstMinuteOfDay);
    setSingleStep(ArrowStep);
    setPageStep(PageStep);
    // A scroll bar takes no focus from the Tab key by default; the spinner does.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::valueChanged, this, [this] { emit minuteChanged(minute()); });
}

int TimeSpinner::minute() const
{
    return LastMinuteOfDay - value();
}

void TimeSpinner::setMinute(int minute)
{
    if (minute < FirstMinuteOfDay || minute > LastMinuteOfDay)
        return;
    setValue(LastMinuteOfDay - minute);
}

} // namespace tallymark
