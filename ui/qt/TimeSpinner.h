#pragma once
// A vertical scroll bar used as a spinner for a minute of day. It does not move by itself:
// the operator's arrow clicks, keys and page moves are reported as what they ask for, and
// the window's behaviour sets the minute.
//
// Qt's scroll bars always put their minimum at the top, so the bar's own position counts
// from the top end (position 0 is 23:59) and the spinner speaks in minutes of day.

#include <QScrollBar>

#include "ui/WorkTimeEditor.h"

namespace tallymark {

class TimeSpinner : public QScrollBar {
    Q_OBJECT
public:
    explicit TimeSpinner(QWidget* parent = nullptr);

    int minute() const;
    // Emits no signal.
    void setMinute(int minute);

signals:
    void spun(tallymark::SpinAction action);
};

} // namespace tallymark
