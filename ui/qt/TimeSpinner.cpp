#include "ui/qt/TimeSpinner.h"

#include <QSignalBlocker>

#include <optional>

namespace tallymark {

namespace {

std::optional<SpinAction> SpinActionOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return SpinAction::ArrowUp;
    case QAbstractSlider::SliderSingleStepAdd: return SpinAction::ArrowDown;
    case QAbstractSlider::SliderPageStepSub: return SpinAction::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return SpinAction::PageDown;
    case QAbstractSlider::SliderToMinimum: return SpinAction::Top;
    case QAbstractSlider::SliderToMaximum: return SpinAction::Bottom;
    default: return std::nullopt;
    }
}

} // namespace

TimeSpinner::TimeSpinner(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setRange(0, SpinnerLastPosition);
    setSingleStep(ArrowStep);
    setPageStep(PageStep);
    // A scroll bar takes no focus from the Tab key by default; the spinner does.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        // Back to where it stood; the behaviour sets where it goes.
        setSliderPosition(value());
        if (const auto spin = SpinActionOf(action))
            emit spun(*spin);
    });
}

int TimeSpinner::minute() const
{
    return SpinnerPosition(value());
}

void TimeSpinner::setMinute(int minute)
{
    const QSignalBlocker quiet(this);
    setValue(SpinnerPosition(minute));
}

} // namespace tallymark
