#pragma once
// A vertical scroll bar used as a spinner for a minute of day: the upper arrow makes the
// time later, the lower one earlier, and at either end an arrow changes nothing.
//
// Qt's scroll bars always put their minimum at the top, and turning the appearance upside
// down leaves the arrows' actions where they were. So the bar's own position counts from
// the top end (position 0 is 23:59) and the spinner speaks in minutes of day; keys, arrows
// and page moves then all work the native way round.

#include <QScrollBar>

namespace tallymark {

class TimeSpinner : public QScrollBar {
    Q_OBJECT
public:
    // Arrow buttons and arrow keys step by one minute, page moves by ten.
    static constexpr int ArrowStep = 1;
    static constexpr int PageStep = 10;

    explicit TimeSpinner(QWidget* parent = nullptr);

    int minute() const;
    // Raises minuteChanged only when the value really changes; values outside the day are
    // refused and leave the spinner as it is.
    void setMinute(int minute);

signals:
    void minuteChanged(int minute);
};

} // namespace tallymark
