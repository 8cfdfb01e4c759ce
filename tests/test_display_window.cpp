// The virtual display's window at the size it opens with: every line of text it shows fits
// on one line, whatever state it spells out.

#include <QLabel>
#include <QtTest>

#include "display/DisplayWindow.h"
#include "link/DisplayRecord.h"

using namespace tallymark;

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
    QTest::newRow("the panel's defaults") << "168" << false << 0;
    QTest::newRow("working time on, counting up") << "888" << true << 1;
    QTest::newRow("the largest count") << "65535" << false << 0;
}

void DisplayWindowTest::linesFitAtDefaultSize()
{
    QFETCH(QString, dayCount);
    QFETCH(bool, countUp);
    QFETCH(int, workSwitch);
    DisplayWindow window("COM32 for the panel (/dev/pts/12)");
    const PanelSettings settings{dayCount.toStdString(), countUp, "5", static_cast<std::int16_t>(workSwitch), 450, 1200};
    const DisplayRecord record = BuildDisplayRecord(settings, 1, [] { return TimeOfDay{23, 59, 58}; });
    window.applyUpdate({record, std::chrono::steady_clock::now()});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(label->text()));
    }
}

QTEST_MAIN(DisplayWindowTest)
#include "test_display_window.moc"
