#pragma once
// Turns POSIX signals (SIGINT, SIGTERM, SIGHUP) into a Qt signal, so that a program ends
// through its event loop and tidies up as it does at a normal close: the virtual display
// takes its port link away, the panel saves its settings. The handler only writes a byte to
// a socket.

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
