#include "ui/qt/SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <csignal>
#include <cstdlib>
#include <exception>

namespace tallymark {
namespace {

// The window whose settings exit() must still save; null once it has closed.
Form1* g_form = nullptr;

} // namespace

SessionEnd::SessionEnd(Form1& form) : relay_({SIGTERM, SIGHUP, SIGINT})
{
    g_form = &form;
    // Left in the event loop, so that a send that is given up ends and closes its port; exit()
    // rather than quit(), which would ask the window to close and so put the question.
    connect(&relay_, &SignalRelay::received, this, [&form] {
        form.Form_EndSession();
        QCoreApplication::exit(0);
    });
    // Direct, as Qt asks: the session manager waits for the save. Only a question: the
    // session may go on, and a send under way with it.
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this, [&form](QSessionManager&) { form.Form_QueryEndSession(); },
        Qt::DirectConnection);
    static const bool registered = std::atexit(&SessionEnd::AtExit) == 0;
    static_cast<void>(registered);
}

SessionEnd::~SessionEnd()
{
    g_form = nullptr;
}

// exit() unwinds nothing: the save and the port's close are done here, from wherever in the
// event loop Qt gave up.
void SessionEnd::AtExit()
{
    if (!g_form)
        return;
    Form1& form = *g_form;
    g_form = nullptr;
    form.Form_EndSession();
    try {
        if (form.MSComm1().PortOpen())
            form.MSComm1().SetPortOpen(false);
    } catch (const std::exception&) {
    }
}

} // namespace tallymark
