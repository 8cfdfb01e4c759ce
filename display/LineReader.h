#pragma once
// Reads the serial line on a thread of its own, so that the arrival time of every byte is
// taken when it comes and not when the window has finished painting.

#include <QObject>

#include "display/UpdateReader.h"

class QSocketNotifier;
class QTimer;

Q_DECLARE_METATYPE(tallymark::display::ReceivedUpdate)
Q_DECLARE_METATYPE(tallymark::display::RejectedRun)

class LineReader : public QObject {
    Q_OBJECT

public:
    LineReader(int fd, tallymark::display::Duration pauseLimit);

    // Starts reading; call it in the thread the reader lives in.
    void start();

signals:
    void updateReceived(const tallymark::display::ReceivedUpdate& update);
    void runRejected(const tallymark::display::RejectedRun& run);
    void lineFailed(const QString& reason);

private:
    void readAvailable();
    void closePause();
    void report(std::vector<tallymark::display::LineEvent> events);
    void armPauseTimer();

    int m_fd;
    tallymark::display::UpdateReader m_reader;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_pauseTimer = nullptr;
};
