#include "os/qt/SignalRelay.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

SignalRelay::SignalRelay(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_fds) != 0)
        qFatal("cannot create the socket pair for signals");
    s_writeFd = m_fds[0];
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalRelay::readSignals);

    struct sigaction action{};
    action.sa_handler = &SignalRelay::Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : signalNumbers)
        ::sigaction(number, &action, nullptr);
}

SignalRelay::~SignalRelay()
{
    s_writeFd = -1;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void SignalRelay::Handle(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    if (s_writeFd >= 0) {
        // Nothing to do when the socket is full: the signals already waiting there suffice.
        [[maybe_unused]] const ssize_t written = ::write(s_writeFd, &byte, 1);
    }
    errno = savedErrno;
}

void SignalRelay::readSignals()
{
    unsigned char numbers[16];
    ssize_t count;
    while ((count = ::read(m_fds[1], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit received(numbers[i]);
    }
}
