// The send, driven through a recording serial component and a recording window.

#include <QtTest>

#include <functional>
#include <string>
#include <vector>

#include "link/DisplayRecord.h"
#include "link/SendOperation.h"
#include "support/FakeSerialPort.h"

using namespace tallymark;
using tallymark::testing::FakeSerialPort;

namespace {

class FakeWindow : public SendWindow {
public:
    std::string comSele = "COM1";
    PanelSettings settings{"999", false, "5", 1, 420, 1140};
    std::vector<std::string> log; // "Message=text|title", "Max=2", "Value=1", "DoEvents"
    std::function<void()> onDoEvents;
    bool refuseProgress = false;

    std::string ComSeleText() const override { return comSele; }
    void ShowMessage(std::string_view text, std::string_view title) override
    {
        log.push_back("Message=" + std::string(text) + "|" + std::string(title));
    }
    void SetProgressMax(int value) override { Progress("Max", value); }
    void SetProgressMin(int value) override { Progress("Min", value); }
    void SetProgressValue(int value) override { Progress("Value", value); }
    void DoEvents() override
    {
        log.push_back("DoEvents");
        if (onDoEvents) {
            auto once = std::move(onDoEvents);
            onDoEvents = nullptr;
            once();
        }
    }
    PanelSettings CurrentSettings() const override { return settings; }

    std::vector<std::string> Messages() const { return Only("Message="); }
    std::vector<std::string> ProgressSteps() const
    {
        std::vector<std::string> steps;
        for (const auto& entry : log)
            if (entry.rfind("Max=", 0) == 0 || entry.rfind("Min=", 0) == 0 || entry.rfind("Value=", 0) == 0)
                steps.push_back(entry);
        return steps;
    }

private:
    void Progress(const char* what, int value)
    {
        if (refuseProgress)
            throw std::runtime_error("progress bar refused");
        log.push_back(std::string(what) + "=" + std::to_string(value));
    }
    std::vector<std::string> Only(const std::string& prefix) const
    {
        std::vector<std::string> picked;
        for (const auto& entry : log)
            if (entry.rfind(prefix, 0) == 0)
                picked.push_back(entry);
        return picked;
    }
};

std::string Message(std::string_view text, std::string_view title)
{
    return "Message=" + std::string(text) + "|" + std::string(title);
}

QStringList Q(const std::vector<std::string>& list)
{
    QStringList out;
    for (const auto& s : list)
        out << QString::fromStdString(s);
    return out;
}

Clock Fixed() { return [] { return TimeOfDay{13, 45, 9}; }; }

const QByteArray ExampleUpdate = QByteArray::fromHex("48656C6C6F 09 45 13 03 E7 03 87 00 13 00");

} // namespace

class TestSendOperation : public QObject {
    Q_OBJECT

private slots:
    void goodSendOrderOfOperations()
    {
        FakeSerialPort port;
        port.present = {3};
        port.drainPolls = 2;
        FakeWindow window;
        window.comSele = "COM3";
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);

        QCOMPARE(Q(port.log), QStringList({"PortOpen?", "CommPort=3", "Settings=9600,n,8,1", "PortOpen=1", "PortOpen?",
                                           "DTREnable=1", "Output(text)=Hello", "Output(bytes)=10", "OutBufferCount?",
                                           "OutBufferCount?", "OutBufferCount?", "PortOpen=0"}));
        QCOMPARE(QByteArray::fromStdString(port.sent).toHex(' '), ExampleUpdate.toHex(' '));
        QCOMPARE(Q(window.ProgressSteps()), QStringList({"Max=2", "Min=0", "Value=1", "Value=2", "Value=0"}));
        QVERIFY(window.Messages().empty());
        QVERIFY(!port.PortOpen());
        // Events are dispatched before every read of the count.
        QCOMPARE(int(std::count(window.log.begin(), window.log.end(), "DoEvents")), 3);
    }

    void recordReadsControlsAfterGreeting()
    {
        // An edit that lands while the greeting is queued reaches the record: the controls
        // are read at the moment the record is built, not at the click.
        FakeWindow window;
        window.settings.dayCountText = "1";
        struct EditingPort : FakeSerialPort {
            FakeWindow* window = nullptr;
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

    void indexesDifferOnlyInByte3()
    {
        FakeSerialPort port0, port1;
        FakeWindow window0, window1;
        SendOperation(port0, window0, Fixed()).CmdSndClk_Click(0);
        SendOperation(port1, window1, Fixed()).CmdSndClk_Click(1);
        QCOMPARE(port0.sent.size(), std::size_t(15));
        QCOMPARE(port1.sent.size(), std::size_t(15));
        for (std::size_t i = 0; i < 15; ++i) {
            if (i == 8) {
                QCOMPARE(static_cast<unsigned char>(port0.sent[i]), CountHighMarker);
                QCOMPARE(static_cast<unsigned char>(port1.sent[i]), 0x03);
            } else {
                QCOMPARE(port0.sent[i], port1.sent[i]);
            }
        }
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

        FakeSerialPort port;
        port.present = {number};
        FakeWindow window;
        window.comSele = text.toStdString();
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        if (number == 0) {
            // Refused before the port is touched: neither opened nor closed, nothing set.
            QCOMPARE(Q(port.log), QStringList({"PortOpen?"}));
            QCOMPARE(Q(window.log), QStringList({QString::fromStdString(Message(Messages::BadPortName, Messages::BadPortNameTitle))}));
            QCOMPARE(int(port.CommPort()), 1);
        } else {
            QCOMPARE(int(port.CommPort()), number);
            QCOMPARE(port.sent.size(), std::size_t(15));
        }
    }

    void busyWhileDraining()
    {
        FakeSerialPort port;
        port.drainPolls = 3;
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        // The operator clicks the other button while the first send waits.
        window.onDoEvents = [&] { send.CmdSndClk_Click(0); };
        send.CmdSndClk_Click(1);

        QCOMPARE(Q(window.Messages()), QStringList({QString::fromStdString(Message(Messages::Busy, Messages::BusyTitle))}));
        QCOMPARE(port.sent.size(), std::size_t(15));
        QCOMPARE(static_cast<unsigned char>(port.sent[8]), 0x03); // the first send's record, not the marker
        QCOMPARE(int(std::count(port.log.begin(), port.log.end(), "PortOpen=0")), 1);
        QCOMPARE(int(std::count(port.log.begin(), port.log.end(), "PortOpen=1")), 1);
        QCOMPARE(Q(window.ProgressSteps()).last(), QString("Value=0"));
    }

    void portMissing()
    {
        FakeSerialPort port;
        port.present = {};
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QCOMPARE(Q(window.log), QStringList({QString::fromStdString(Message(Messages::OpenFailed, Messages::OpenFailedTitle))}));
        QVERIFY(port.sent.empty());
        // DTR is not touched; the click handler still sets the port closed.
        QCOMPARE(Q(port.log), QStringList({"PortOpen?", "CommPort=1", "Settings=9600,n,8,1", "PortOpen=1", "PortOpen=0"}));
    }

    void openReadsBackClosed()
    {
        FakeSerialPort port;
        port.openReadsFalse = true;
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QCOMPARE(Q(window.log), QStringList({QString::fromStdString(Message(Messages::NotOpen, Messages::NotOpenTitle))}));
        QVERIFY(port.sent.empty());
        QCOMPARE(Q(port.log), QStringList({"PortOpen?", "CommPort=1", "Settings=9600,n,8,1", "PortOpen=1", "PortOpen?",
                                           "DTREnable=0", "PortOpen=0"}));
    }

    void componentRefusesPortNumber()
    {
        // A component that refuses the port number: nothing is sent and the operator is told.
        struct Refusing : FakeSerialPort {
            void SetCommPort(std::int16_t) override { throw SerialError("refused"); }
        } port;
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QVERIFY(port.sent.empty());
        QVERIFY(!port.PortOpen());
        QCOMPARE(Q(window.Messages()), QStringList({QString::fromStdString(Message(Messages::OpenFailed, Messages::OpenFailedTitle))}));
    }

    void countUnreadableEndsWait()
    {
        FakeSerialPort port;
        port.failCount = true;
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QCOMPARE(int(std::count(port.log.begin(), port.log.end(), "OutBufferCount?")), 1);
        QCOMPARE(Q(window.ProgressSteps()).last(), QString("Value=0"));
        QCOMPARE(port.log.back(), std::string("PortOpen=0"));
        QVERIFY(window.Messages().empty());
    }

    void sendingPhaseIsTolerant()
    {
        // Output refuses the greeting and the progress bar refuses every value: the record
        // still goes out, nothing is shown, and the port ends closed.
        struct NoText : FakeSerialPort {
            void Output(std::string_view) override { throw SerialError("refused"); }
            using FakeSerialPort::Output;
        } port;
        FakeWindow window;
        window.refuseProgress = true;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QCOMPARE(port.sent.size(), std::size_t(10));
        QVERIFY(window.Messages().empty());
        QVERIFY(!port.PortOpen());
    }

    void progressKeptAfterFailedOpen()
    {
        FakeSerialPort port;
        port.present = {};
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        send.CmdSndClk_Click(1);
        QVERIFY(window.ProgressSteps().empty());
    }

    void portChosenAnewEverySend()
    {
        FakeSerialPort port;
        port.present = {2, 5};
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        window.comSele = "COM2";
        send.CmdSndClk_Click(1);
        window.comSele = "COM5";
        port.log.clear();
        send.CmdSndClk_Click(1);
        QCOMPARE(QString::fromStdString(port.log.at(1)), QString("CommPort=5"));
        QCOMPARE(QString::fromStdString(port.log.at(2)), QString("Settings=9600,n,8,1"));
        QCOMPARE(port.sent.size(), std::size_t(30));
    }

    void abandonedDuringDrain()
    {
        FakeSerialPort port;
        port.drainPolls = 1000;
        FakeWindow window;
        SendOperation send(port, window, Fixed());
        // The operator closes the window and answers Yes while the send waits.
        window.onDoEvents = [&] { send.Abandon(); };
        send.CmdSndClk_Click(1);
        QCOMPARE(int(std::count(port.log.begin(), port.log.end(), "OutBufferCount?")), 0);
        QCOMPARE(Q(window.ProgressSteps()), QStringList({"Max=2", "Min=0", "Value=1", "Value=2"}));
        // What has not left is given up before the click handler closes the port.
        QCOMPARE(Q(std::vector<std::string>(port.log.end() - 2, port.log.end())), QStringList({"DiscardOutput", "PortOpen=0"}));
        QVERIFY(window.Messages().empty());

        // A later send is not abandoned.
        port.drainPolls = 0;
        send.CmdSndClk_Click(1);
        QCOMPARE(Q(window.ProgressSteps()).last(), QString("Value=0"));
    }
};

QTEST_GUILESS_MAIN(TestSendOperation)
#include "test_send_operation.moc"
