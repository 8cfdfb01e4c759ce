#include "ui/qt/SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <csignal>
#include <cstdlib>
#include <utility>

namespace tallymark {
namespace {

// The window that exit() must still tell; null once it has closed.
Form1* g_form = nullptr;

} // namespace

SessionEnd::SessionEnd(Form1& form) : relay_({SIGTERM, SIGHUP, SIGINT})
{
    g_form = &form;
    // Left in the event loop, so that a send given up returns through its click handler;
    // exit() rather than quit(), which would ask the window to close.
    connect(&relay_, &SignalRelay::received, this, [&form] {
        if (form.SessionChanged(SessionEvent::Ends) == SessionStep::EndProgram)
            QCoreApplication::exit(0);
    });
    // Direct, as Qt asks: the session manager waits for the save.
    connect(
        qGuiApp, &QGuiApplication::commitDataRequest, this,
        [&form](QSessionManager&) { form.SessionChanged(SessionEvent::EndAsked); }, Qt::DirectConnection);
    static const bool registered = std::atexit(&SessionEnd::AtExit) == 0;
    static_cast<void>(registered);
}

SessionEnd::~SessionEnd()
{
    g_form = nullptr;
}

// From wherever in the event loop Qt gave up.
void SessionEnd::AtExit()
{
    if (Form1* form = std::exchange(g_form, nullptr))
        form->SessionChanged(SessionEvent::ProcessEnds);
}

} // namespace tallymark
