// The port scan's list and its choice of the port shown.

#include <QtTest>

#include <set>
#include <string>
#include <vector>

#include "link/PortDiscovery.h"
#include "support/FakeSerialPort.h"

using namespace tallymark;
using tallymark::testing::FakeSerialPort;

namespace {

// ComSele as the window creates it, before the scan throws its list away.
tallymark::ListedPorts CreatedComSele()
{
    tallymark::ListedPorts list;
    list.items = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
    list.text = "COM1";
    return list;
}

QStringList Q(const std::vector<std::string>& list)
{
    QStringList out;
    for (const auto& s : list)
        out << QString::fromStdString(s);
    return out;
}

} // namespace

class TestPortDiscovery : public QObject {
    Q_OBJECT

private slots:
    void choice_data()
    {
        QTest::addColumn<QList<int>>("open");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QList<int>{} << QStringList{} << "";
        QTest::newRow("1") << QList<int>{1} << QStringList{"COM1"} << "COM1";
        QTest::newRow("2") << QList<int>{2} << QStringList{"COM2"} << "COM2";
        QTest::newRow("1 and 2") << QList<int>{1, 2} << QStringList{"COM1", "COM2"} << "COM1";
        QTest::newRow("4") << QList<int>{4} << QStringList{"COM4"} << "COM4";
        QTest::newRow("1 and 3") << QList<int>{1, 3} << QStringList{"COM1", "COM3"} << "COM3";
        QTest::newRow("1, 2, 5 and 9") << QList<int>{1, 2, 5, 9} << QStringList{"COM1", "COM2", "COM5", "COM9"} << "COM9";
        QTest::newRow("3 alone") << QList<int>{3} << QStringList{"COM3"} << "COM3";
        QTest::newRow("32 and 10") << QList<int>{10, 32} << QStringList{"COM10", "COM32"} << "COM32";
    }
    void choice()
    {
        QFETCH(QList<int>, open);
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        FakeSerialPort port;
        port.present = std::set<int>(open.begin(), open.end());
        // A device there but refused for lack of permission is not listed; the scan keeps it.
        port.denied = {11, 31};
        auto list = CreatedComSele();
        const std::vector<OpenFailure> refused = ScanComPorts(port, list);
        QCOMPARE(Q(list.items), items);
        QCOMPARE(QString::fromStdString(list.text), text);
        QVERIFY(refused.size() == 2 && refused[0].device == "/dev/ttyFAKE11" && refused[1].device == "/dev/ttyFAKE31");
        QVERIFY(!port.PortOpen());
    }

    void triesEveryNumberInOrderAndClosesEach()
    {
        FakeSerialPort port;
        port.present = {7};
        auto list = CreatedComSele();
        ScanComPorts(port, list);
        std::vector<std::string> expected;
        for (int n = 1; n <= 32; ++n) {
            expected.push_back("CommPort=" + std::to_string(n));
            expected.push_back("PortOpen=1");
            if (n == 7) {
                expected.push_back("PortOpen?");
                expected.push_back("PortOpen=0");
            }
        }
        QCOMPARE(Q(port.log), Q(expected));
    }

    void portReadingClosedIsNotListed()
    {
        FakeSerialPort port;
        port.present = {1, 4};
        port.openReadsFalse = true;
        auto list = CreatedComSele();
        ScanComPorts(port, list);
        QVERIFY(list.items.empty());
        QCOMPARE(QString::fromStdString(list.text), QString());
    }

    void portThatFailsToCloseIsClosedAnyway()
    {
        // An error after a port opened must not leave it open past the scan, nor stop the scan.
        struct StickyClose : FakeSerialPort {
            int failures = 0;
            void SetPortOpen(bool open) override
            {
                if (!open && CommPort() == 2 && failures++ == 0)
                    throw SerialError("close failed");
                FakeSerialPort::SetPortOpen(open);
            }
        } port;
        port.present = {2, 5};
        auto list = CreatedComSele();
        ScanComPorts(port, list);
        QCOMPARE(Q(list.items), QStringList({"COM2", "COM5"}));
        QCOMPARE(QString::fromStdString(list.text), QString("COM5"));
        QVERIFY(!port.PortOpen());
    }
};

QTEST_GUILESS_MAIN(TestPortDiscovery)
#include "test_port_discovery.moc"
