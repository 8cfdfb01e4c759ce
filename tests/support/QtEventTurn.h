#pragma once
// One turn of Qt's events as the window's drain wait takes it: what is pending runs, and
// with nothing pending the turn waits for the next event a millisecond at most.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tallymark::testing {

inline void QtEventTurn()
{
    // The timer only bounds the wait: pending events return at once.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(1);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace tallymark::testing
