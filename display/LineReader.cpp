#include "display/LineReader.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <unistd.h>

using namespace tallymark::display;

LineReader::LineReader(int fd, Duration pauseLimit) : m_fd(fd), m_reader(pauseLimit)
{
    qRegisterMetaType<ReceivedUpdate>();
    qRegisterMetaType<RejectedRun>();
}

void LineReader::start()
{
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &LineReader::readAvailable);
    m_pauseTimer = new QTimer(this);
    m_pauseTimer->setSingleShot(true);
    m_pauseTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pauseTimer, &QTimer::timeout, this, &LineReader::closePause);
}

void LineReader::readAvailable()
{
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        const Instant arrival = std::chrono::steady_clock::now();
        if (count > 0) {
            report(m_reader.Feed(std::span(buffer, static_cast<std::size_t>(count)), arrival));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of file or a failing device (a USB adapter pulled out): nothing more will come.
        m_notifier->setEnabled(false);
        emit lineFailed(count == 0 ? tr("the line was closed") : QString::fromLocal8Bit(std::strerror(errno)));
        break;
    }
    armPauseTimer();
}

void LineReader::closePause()
{
    report(m_reader.Idle(std::chrono::steady_clock::now()));
    armPauseTimer();
}

void LineReader::report(std::vector<LineEvent> events)
{
    for (auto& event : events) {
        if (auto* update = std::get_if<ReceivedUpdate>(&event))
            emit updateReceived(*update);
        else
            emit runRejected(std::get<RejectedRun>(event));
    }
}

void LineReader::armPauseTimer()
{
    const auto deadline = m_reader.Deadline();
    if (!deadline) {
        m_pauseTimer->stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    m_pauseTimer->start(std::max(wait, std::chrono::milliseconds(0)));
}
