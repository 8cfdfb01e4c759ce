// The whole send over a real tty: the click handler, the component on Qt SerialPort, and a
// pseudo-terminal as the display, which must receive the update and nothing else.

#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <optional>

#include "link/SendOperation.h"
#include "link/qt/QtSerialPort.h"
#include "tests/UpdateVectors.h"
#include "tests/support/QtEventTurn.h"
#include "tests/support/RecordingSendWindow.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/PseudoTerminal.h"

using namespace std::chrono_literals;
using tallymark::PanelSettings;
using tallymark::QtSerialPort;
using tallymark::SendOperation;
using tallymark::TimeOfDay;
namespace vectors = tallymark::vectors;
using tallymark::testing::RecordingSendWindow;
using tallymark::testing::LinkPort;
using tallymark::testing::OtherProgram;
using tallymark::testing::PseudoTerminal;
namespace Messages = tallymark::Messages;

namespace {

QByteArray Hex(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
        .toHex(' ')
        .toUpper();
}

} // namespace

class TestSendOverPty : public QObject {
    Q_OBJECT

private:
    QTemporaryDir programDir_;
    std::string ProgramDir() const { return programDir_.path().toStdString(); }

private slots:
    void initTestCase() { QVERIFY(programDir_.isValid()); }

    void sendsTheUpdate_data()
    {
        QTest::addColumn<int>("example");
        for (std::size_t i = 0; i < std::size(vectors::UpdateExamples); ++i)
            QTest::newRow(vectors::UpdateExamples[i].name) << int(i);
    }

    void sendsTheUpdate()
    {
        QFETCH(int, example);
        const vectors::UpdateExample& e = vectors::UpdateExamples[example];

        PseudoTerminal display;
        LinkPort(ProgramDir(), 7, display.DevicePath());
        QtSerialPort port(ProgramDir());
        RecordingSendWindow window;
        window.onDoEvents = tallymark::testing::QtEventTurn;
        window.comSele = "COM7";
        window.settings = e.settings;
        SendOperation send(port, window, [&e] { return e.time; });

        QCOMPARE(send.CmdSndClk_Click(e.index), tallymark::SendResult::Sent);

        QVERIFY(!port.PortOpen());
        QCOMPARE(port.CommPort(), std::int16_t(7));
        QCOMPARE(port.Settings(), std::string("9600,n,8,1"));
        QCOMPARE(window.ProgressValues(), (std::vector<int>{1, 2, 0}));
        QCOMPARE(Hex(display.ReadUntilQuiet(200ms)), QByteArray(e.line));
    }

    void eachSendGoesToThePortChosenThen()
    {
        PseudoTerminal first;
        PseudoTerminal second;
        LinkPort(ProgramDir(), 7, first.DevicePath());
        LinkPort(ProgramDir(), 21, second.DevicePath());
        QtSerialPort port(ProgramDir());
        RecordingSendWindow window;
        window.onDoEvents = tallymark::testing::QtEventTurn;
        window.settings = PanelSettings{"999", false, "5", 1, 420, 1140};
        SendOperation send(port, window, [] { return TimeOfDay{13, 45, 9}; });

        window.comSele = "COM7";
        QCOMPARE(send.CmdSndClk_Click(1), tallymark::SendResult::Sent);
        window.comSele = "COM21";
        QCOMPARE(send.CmdSndClk_Click(0), tallymark::SendResult::Sent);
        window.comSele = "COM7";
        QCOMPARE(send.CmdSndClk_Click(1), tallymark::SendResult::Sent);

        QCOMPARE(Hex(first.ReadUntilQuiet(200ms)),
                 QByteArray("48 65 6C 6C 6F 09 45 13 03 E7 03 87 00 13 00 48 65 6C 6C 6F 09 45 13 03 E7 03 87 00 13 00"));
        QCOMPARE(Hex(second.ReadUntilQuiet(200ms)), QByteArray("48 65 6C 6C 6F 09 45 13 AA E7 03 87 00 13 00"));
    }

    void portThatCannotOpenSendsNothing_data()
    {
        QTest::addColumn<bool>("heldByAnother");
        QTest::newRow("held by another program") << true;
        QTest::newRow("device gone") << false;
    }

    void portThatCannotOpenSendsNothing()
    {
        QFETCH(bool, heldByAnother);
        PseudoTerminal display;
        if (heldByAnother)
            LinkPort(ProgramDir(), 7, display.DevicePath());
        else
            LinkPort(ProgramDir(), 7, ProgramDir() + "/unplugged");
        std::optional<OtherProgram> other;
        if (heldByAnother) {
            other.emplace(display.DevicePath(), OtherProgram::Hold::Flock);
            QVERIFY(other->Holds());
        }
        QtSerialPort port(ProgramDir());
        RecordingSendWindow window;
        window.onDoEvents = tallymark::testing::QtEventTurn;
        window.comSele = "COM7";
        window.settings = PanelSettings{"999", false, "5", 1, 420, 1140};
        SendOperation send(port, window, [] { return TimeOfDay{13, 45, 9}; });

        QCOMPARE(send.CmdSndClk_Click(1), tallymark::SendResult::PortRefused);

        QVERIFY(!port.PortOpen());
        QVERIFY(window.progress.empty());
        QVERIFY(display.ReadUntilQuiet(100ms).empty());
    }
};

QTEST_GUILESS_MAIN(TestSendOverPty)
#include "test_send_over_pty.moc"
