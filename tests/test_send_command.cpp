// tallymark-send without devices: its command lines, and every situation a scheduled run
// can meet, over a recording serial component and a real settings file that must come out
// of every run byte for byte as it went in.

#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <functional>
#include <sstream>
#include <variant>

#include "SendOutcomes.h"
#include "link/UpdateBytes.h"
#include "send/SendCommand.h"
#include "support/FileContent.h"

using namespace tallymark;
using namespace tallymark::command;
using tallymark::testing::FakeSerialPort;

namespace {

// "999" counting down, brightness 5, 07:00 to 19:00 switched on: the send table's settings.
const std::string StoredFile = "; the sign in the workshop\r\n"
                               "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=420\r\nEndWorkTime=1140\r\n"
                               "[Tallymarks]\r\nDDD=999\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n";

struct Run {
    ExitCode code;
    std::string out;
    std::string err;
    std::string sent; // in hexadecimal
};

struct LineCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* expected; // the options as Described, or "refused: " and the line on standard error
};

const LineCase LineCases[] = {
    {"--clock", {"--clock"}, "index=0"},
    {"--all", {"--all"}, "index=1"},
    {"everything", {"--dry-run", "--port", "COM32", "--all"}, "index=1 port=COM32 dry-run"},
    {"--port=", {"--port=COM3", "--clock"}, "index=0 port=COM3"},
    {"--help alone", {"--help"}, "index=-1 help"},
    {"--version alone", {"--version"}, "index=-1 version"},
    {"nothing", {}, "refused: --clock or --all is needed"},
    {"only a port", {"--port", "COM3"}, "refused: --clock or --all is needed"},
    {"both updates", {"--clock", "--all"}, "refused: --clock and --all do not go together"},
    {"twice", {"--clock", "--clock"}, "refused: \"--clock\" is given twice"},
    {"two ports", {"--all", "--port", "COM3", "--port=COM4"}, "refused: \"--port\" is given twice"},
    {"port name missing", {"--all", "--port"}, "refused: --port needs a port name, COM1 to COM32"},
    {"COM33", {"--all", "--port", "COM33"}, "refused: the port name \"COM33\" is not one of COM1 to COM32"},
    {"lower case", {"--all", "--port", "com3"}, "refused: the port name \"com3\" is not one of COM1 to COM32"},
    {"leading zero", {"--all", "--port=COM03"}, "refused: the port name \"COM03\" is not one of COM1 to COM32"},
    {"an option as the port", {"--port", "--all"}, "refused: the port name \"--all\" is not one of COM1 to COM32"},
    {"line end in the port", {"--all", "--port", "COM3\n"}, "refused: the port name \"COM3?\" is not one of COM1 to COM32"},
    {"unknown option", {"--clock", "-n"}, "refused: unknown option \"-n\""},
    {"a word", {"--clock", "now"}, "refused: unexpected argument \"now\""},
    {"--help with a wrong word", {"--help", "--verbose"}, "refused: unknown option \"--verbose\""},
};

struct SituationCase {
    const char* name;
    std::vector<std::string> arguments;
    std::function<void(FakeSerialPort&)> arrange;
    bool settingsFile; // Tallymark.ini as above, or none at all
    Run expected;
    int port; // the port used at the end; 0 when no port was touched at all
};

const auto NoChange = [](FakeSerialPort&) {};
const std::string Defaults = "48 65 6C 6C 6F 09 45 13 00 A8 03 07 1E 14 00"; // 168, down, 5, 07:30-20:00 off

const SituationCase SituationCases[] = {
    {"--clock on the highest port found", {"--clock"}, [](FakeSerialPort& p) { p.present = {1, 2, 5}; }, true,
     {ExitCode::Sent, "", "", vectors::ClockUpdate}, 5},
    {"only COM1 and COM2: the first", {"--all"}, [](FakeSerialPort& p) { p.present = {1, 2}; }, true,
     {ExitCode::Sent, "", "", vectors::SettingsUpdate}, 1},
    {"--all on the port named", {"--all", "--port", "COM2"}, NoChange, true,
     {ExitCode::Sent, "", "", vectors::SettingsUpdate}, 2},
    {"no settings file: the defaults", {"--all", "--port", "COM2"}, NoChange, false,
     {ExitCode::Sent, "", "", Defaults}, 2},
    {"no port found", {"--clock"}, [](FakeSerialPort& p) { p.present = {}; }, true,
     {ExitCode::NoPort, "", "no serial port from COM1 to COM32 opens", ""}, 32},
    {"held port not found", {"--clock"}, [](FakeSerialPort& p) { p.held = {1, 2, 3}; }, true,
     {ExitCode::NoPort, "", "no serial port from COM1 to COM32 opens", ""}, 32},
    {"missing port named", {"--clock", "--port", "COM9"}, NoChange, true,
     {ExitCode::PortUnavailable, "", "COM9 is in use by another program or does not exist (no such port)", ""}, 9},
    {"held port named", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.held = {3}; }, true,
     {ExitCode::PortUnavailable, "", "COM3 is in use by another program or does not exist (in use by another program)",
      ""},
     3},
    {"port number refused", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.refuseCommPort = true; }, true,
     {ExitCode::PortUnavailable, "", "COM3 is in use by another program or does not exist (port number refused)", ""},
     1},
    {"opens but reads back closed", {"--all", "--port", "COM3"}, [](FakeSerialPort& p) { p.openReadsFalse = true; },
     true, {ExitCode::PortUnavailable, "", "COM3 did not stay open", ""}, 3},
    {"greeting refused: nothing follows", {"--all", "--port", "COM3"}, [](FakeSerialPort& p) { p.refuseText = true; },
     true, {ExitCode::SendFailed, "", "the send to COM3 failed: output refused", ""}, 3},
    {"count cannot be read", {"--all", "--port", "COM3"}, [](FakeSerialPort& p) { p.failCount = true; }, true,
     {ExitCode::SendFailed, "", "the send to COM3 failed: device has gone", vectors::SettingsUpdate}, 3},
    {"line that never drains", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.drainPolls = INT_MAX; },
     true, {ExitCode::SendFailed, "", "COM3 held the update back for 30 seconds; the send was given up", vectors::ClockUpdate},
     3},
    {"line that drains at the last turn", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.drainPolls = 99; },
     true, {ExitCode::Sent, "", "", vectors::ClockUpdate}, 3},
    {"dry run", {"--clock", "--dry-run"}, NoChange, true,
     {ExitCode::Sent, std::string(vectors::ClockUpdate) + "\n", "", ""}, 0},
    {"dry run on a port named", {"--dry-run", "--all", "--port", "COM3"}, NoChange, true,
     {ExitCode::Sent, std::string(vectors::SettingsUpdate) + "\n", "", ""}, 0},
    {"--version", {"--version"}, NoChange, true, {ExitCode::Sent, "tallymark-send " TALLYMARK_VERSION "\n", "", ""}, 0},
};

class Fixture {
public:
    FakeSerialPort port;

    explicit Fixture(bool settingsFile)
    {
        if (settingsFile)
            testing::WriteAll(IniPath(), StoredFile);
    }
    QString IniPath() const { return folder_.filePath("Tallymark.ini"); }

    // The drain wait's patience is 100 turns.
    Run Execute(const std::vector<std::string>& arguments)
    {
        std::ostringstream out, err;
        int turns = 0;
        Platform platform{port,  *store_, [this] { return folder_.path().toStdString(); }, [] { return TimeOfDay{13, 45, 9}; },
                          [&turns] { return ++turns <= 100; }, out, err};
        const ExitCode code = RunCommand(arguments, platform);
        const auto* sent = reinterpret_cast<const std::uint8_t*>(port.sent.data());
        return {code, out.str(), err.str(), HexBytes({sent, port.sent.size()})};
    }

private:
    QTemporaryDir folder_;
    std::unique_ptr<ProfileStore> store_ = SystemProfileStore();
};

QString Described(const Options& o)
{
    return QString::fromStdString("index=" + std::to_string(o.index) + (o.port.empty() ? "" : " port=" + o.port)
                                  + (o.dryRun ? " dry-run" : "") + (o.help ? " help" : "") + (o.version ? " version" : ""));
}

QString Describe(const Run& run)
{
    return QStringLiteral("exit %1 out [%2] err [%3] sent [%4]")
        .arg(static_cast<int>(run.code))
        .arg(QString::fromStdString(run.out), QString::fromStdString(run.err), QString::fromStdString(run.sent));
}

} // namespace

class TestSendCommand : public QObject {
    Q_OBJECT

private slots:
    void commandLines_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(LineCases); ++i)
            QTest::newRow(LineCases[i].name) << int(i);
    }
    void commandLines()
    {
        QFETCH(int, row);
        const LineCase& c = LineCases[row];
        const QString expected = c.expected;
        const auto parsed = ParseCommandLine(c.arguments);
        if (const auto* options = std::get_if<Options>(&parsed)) {
            QCOMPARE(Described(*options), expected);
            return;
        }
        // A refused line: one line on standard error, the usage on standard output, no port.
        QVERIFY2(expected.startsWith("refused: "), qPrintable(QString::fromStdString(std::get<std::string>(parsed))));
        Fixture fixture(true);
        const Run run = fixture.Execute(c.arguments);
        QCOMPARE(run.code, ExitCode::BadCommandLine);
        QCOMPARE(QString::fromStdString(run.err), "tallymark-send: " + expected.mid(9) + "\n");
        QVERIFY(run.out.starts_with("Usage: tallymark-send (--clock | --all)"));
        QVERIFY(fixture.port.log.empty());
    }

    void situations_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(SituationCases); ++i)
            QTest::newRow(SituationCases[i].name) << int(i);
    }
    void situations()
    {
        QFETCH(int, row);
        const SituationCase& c = SituationCases[row];
        Fixture fixture(c.settingsFile);
        c.arrange(fixture.port);
        Run expected = c.expected;
        if (!expected.err.empty())
            expected.err = "tallymark-send: " + expected.err + "\n";

        QCOMPARE(Describe(fixture.Execute(c.arguments)), Describe(expected));
        QCOMPARE(fixture.port.log.empty() ? 0 : fixture.port.CommPort(), c.port);
        QVERIFY(!fixture.port.PortOpen());
        QCOMPARE(testing::ReadAll(fixture.IniPath()), c.settingsFile ? StoredFile : "<missing>");
    }
};

QTEST_GUILESS_MAIN(TestSendCommand)
#include "test_send_command.moc"
