#include "tests/support/HeadlessSendWindow.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace tallymark::testing {

void HeadlessSendWindow::ShowMessage(std::string_view text, std::string_view title)
{
    messages.push_back({std::string(text), std::string(title)});
}

void HeadlessSendWindow::DoEvents()
{
    ++eventTurns;
    // The timer only bounds the wait: pending events return at once.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(1);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace tallymark::testing
