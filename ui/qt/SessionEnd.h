#pragma once
// The end of the session as Linux and Qt tell it, passed on to Form1: SIGTERM, SIGHUP and
// SIGINT (a log-out or shutdown, a closed terminal, Ctrl+C) end it; the session manager's
// request to save asks whether it may end; the loss of the X connection ends the process
// through exit() from inside Qt's event loop, which unwinds nothing. Form1 decides what each
// does; this ends the program when it says so.

#include <QObject>

#include "os/qt/SignalRelay.h"
#include "ui/Form1.h"

namespace tallymark {

class SessionEnd final : public QObject {
public:
    // One for the program's one window, made before its load and kept until it has closed.
    explicit SessionEnd(Form1& form);
    ~SessionEnd() override;

    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    static void AtExit();

    SignalRelay relay_;
};

} // namespace tallymark
