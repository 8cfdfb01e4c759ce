// The send, driven through a recording serial component and a recording window: every
// situation of the table and what it leaves behind, and what a table cannot say.

#include <QtTest>

#include <string>

#include "SendOutcomes.h"
#include "link/PortNames.h"

using namespace tallymark;
using tallymark::testing::FakeSerialPort;
using tallymark::testing::RecordingSendWindow;

namespace {

std::string Hex(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toHex(' ').toUpper().toStdString();
}

QString Describe(const vectors::SendOutcome& o)
{
    QStringList results;
    for (SendResult r : o.results)
        results << QString::number(int(r));
    QStringList progress;
    for (int v : o.progress)
        progress << QString::number(v);
    return QStringLiteral("results [%1] line [%2] progress [%3] closes %4 discarded %5 open %6")
        .arg(results.join(", "), QString::fromStdString(o.line), progress.join(' '))
        .arg(o.closes)
        .arg(o.discarded)
        .arg(o.openAtEnd);
}

Clock Fixed() { return [] { return TimeOfDay{13, 45, 9}; }; }

} // namespace

class TestSendOperation : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(vectors::SendCases); ++i)
            QTest::newRow(vectors::SendCases[i].name) << int(i);
    }
    void outcomes()
    {
        QFETCH(int, row);
        const vectors::SendCase& c = vectors::SendCases[row];
        QCOMPARE(Describe(vectors::RunSendCase(c, Hex)), Describe(c.expected));
    }

    void portNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("COM1") << "COM1" << 1;
        QTest::newRow("COM10 is not COM1") << "COM10" << 10;
        QTest::newRow("COM32") << "COM32" << 32;
        QTest::newRow("lower case") << "com1" << 0;
        QTest::newRow("leading zero") << "COM01" << 0;
        QTest::newRow("COM33") << "COM33" << 0;
        QTest::newRow("COM0") << "COM0" << 0;
        QTest::newRow("trailing blank") << "COM1 " << 0;
        QTest::newRow("leading blank") << " COM1" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("COM") << "COM" << 0;
        QTest::newRow("COM100") << "COM100" << 0;
        QTest::newRow("COM-1") << "COM-1" << 0;
        QTest::newRow("COM+1") << "COM+1" << 0;
        QTest::newRow("full-width digits") << "COM１" << 0;
    }
    void portNames()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QCOMPARE(int(PortNumberOf(text.toStdString())), number);
    }

    void recordReadsControlsAfterGreeting()
    {
        // An edit that lands while the greeting is queued reaches the record: the controls
        // are read at the moment the record is built, not at the click.
        RecordingSendWindow window;
        window.settings.dayCountText = "1";
        struct EditingPort : FakeSerialPort {
            RecordingSendWindow* window = nullptr;
            void Output(std::string_view text) override
            {
                FakeSerialPort::Output(text);
                window->settings.dayCountText = "258";
            }
            using FakeSerialPort::Output;
        } port;
        port.window = &window;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QCOMPARE(QByteArray::fromStdString(port.sent).mid(8, 2).toHex(), QByteArray("0102"));
    }

    void portChosenAnewEverySend()
    {
        FakeSerialPort port;
        port.present = {2, 5};
        RecordingSendWindow window;
        SendOperation send(port, window, Fixed());
        window.comSele = "COM2";
        send.CmdSndClk_Click(1);
        window.comSele = "COM5";
        send.CmdSndClk_Click(1);
        QCOMPARE(int(port.CommPort()), 5);
        QCOMPARE(port.sent.size(), std::size_t(30));
    }

    void abandonedSendLeavesNoMarkOnTheNext()
    {
        FakeSerialPort port;
        port.drainPolls = 1000;
        RecordingSendWindow window;
        SendOperation send(port, window, Fixed());
        window.onDoEvents = [&] { send.Abandon(); };
        send.CmdSndClk_Click(1);
        window.onDoEvents = nullptr;
        port.drainPolls = 0;
        send.CmdSndClk_Click(1);
        QCOMPARE(window.ProgressValues(), (std::vector<int>{1, 2, 1, 2, 0}));
    }
};

QTEST_GUILESS_MAIN(TestSendOperation)
#include "test_send_operation.moc"
