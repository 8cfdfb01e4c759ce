#pragma once
// The end of the session on Linux closes the panel as its close box does, without the
// question: a send under way is given up, the settings are saved and the port is closed,
// before the process ends. Sessions end by SIGTERM, SIGHUP or SIGINT (a log-out or shutdown,
// a closed terminal, Ctrl+C), or by the loss of the X connection, after which Qt ends the
// program through exit() from inside its event loop. The session manager's request to save
// is a question, not an end: it saves, and a send under way goes on.

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
