#pragma once
// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal, so that the display quits through its
// event loop and takes its port link away. The handler only writes a byte to a socket.

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

class SignalRelay : public QObject {
    Q_OBJECT

public:
    explicit SignalRelay(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~SignalRelay() override;

signals:
    void received(int signalNumber);

private:
    static void Handle(int signalNumber);
    void readSignals();

    static inline int s_writeFd = -1;
    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};
