// The virtual display's window laid out at its default size: every line of text it shows
// fits the label that holds it, whatever the state it spells out.

#include <QApplication>
#include <QLabel>
#include <QtTest>

#include "display/DisplayWindow.h"
#include "link/DisplayRecord.h"

using namespace tallymark;
using namespace tallymark::display;

class DisplayWindowTest : public QObject {
    Q_OBJECT

private slots:
    void linesFitAtDefaultSize_data();
    void linesFitAtDefaultSize();
};

void DisplayWindowTest::linesFitAtDefaultSize_data()
{
    QTest::addColumn<QString>("dayCount");
    QTest::addColumn<bool>("countUp");
    QTest::addColumn<int>("workSwitch");
    QTest::addColumn<QString>("brightness");
    QTest::addColumn<QString>("lineFailure");
    QTest::newRow("first start, before any update") << QString() << false << 0 << QString() << QString();
    QTest::newRow("the panel's defaults") << "168" << false << 0 << "5" << QString();
    QTest::newRow("working time on, three digits") << "888" << true << 1 << "8" << QString();
    QTest::newRow("the largest count") << "65535" << false << 0 << "1" << QString();
    QTest::newRow("a failed line") << "168" << false << 1 << "1" << "the device has gone (input/output error)";
}

void DisplayWindowTest::linesFitAtDefaultSize()
{
    QFETCH(QString, dayCount);
    QFETCH(bool, countUp);
    QFETCH(int, workSwitch);
    QFETCH(QString, brightness);
    QFETCH(QString, lineFailure);

    DisplayWindow window("COM32 for the panel (/dev/pts/12)");
    if (!dayCount.isEmpty()) {
        const PanelSettings settings{dayCount.toStdString(), countUp, brightness.toStdString(),
                                     static_cast<std::int16_t>(workSwitch), 450, 1200};
        const DisplayRecord record = BuildDisplayRecord(settings, 1, [] { return TimeOfDay{23, 59, 58}; });
        window.applyUpdate(ReceivedUpdate{record, std::chrono::steady_clock::now()});
    }
    if (!lineFailure.isEmpty())
        window.showLineFailure(lineFailure);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // At the size the window opens with, every line shows whole on one line.
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(label->text()));
    }
}

QTEST_MAIN(DisplayWindowTest)
#include "test_display_window.moc"
