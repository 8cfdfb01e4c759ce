// tallymark-send without devices: every command line and every situation a scheduled run can
// meet, over a recording serial component and a real settings file that must come out of
// every run byte for byte as it went in.

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>

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
const std::string Clock = vectors::ClockUpdate, All = vectors::SettingsUpdate;
const std::string Usage = " out Usage: tallymark-send (--clock | --all [SETTINGS]) [--port COMn] [--dry-run]";
const std::string InUse = " is in use by another program or does not exist";
const std::string Refused = "exit 2" + Usage + " err ", NotAPort = "\" is not one of COM1 to COM32";

struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::function<void(FakeSerialPort&)> arrange; // by default COM1 to COM3 open
    std::string expected; // exit code, the port used last, the bytes sent, the first line out, the line on err
    bool settingsFile = true;
    bool perUser = false; // the file in the user's folder, and another beside the program
    TimeOfDay at = {13, 45, 9};
};

const auto Ports = [](std::set<int> present) { return [=](FakeSerialPort& p) { p.present = present; }; };

const Case Cases[] = {
    // Sent.
    {"--clock to the highest port found", {"--clock"}, Ports({1, 2, 5}), "exit 0 port 5 sent " + Clock},
    {"only COM1 and COM2: the first", {"--all"}, Ports({1, 2}), "exit 0 port 1 sent " + All},
    {"--all to the port named", {"--all", "--port", "COM2"}, {}, "exit 0 port 2 sent " + All},
    {"--port=", {"--port=COM3", "--clock"}, {}, "exit 0 port 3 sent " + Clock},
    {"a folder that can be written: the file beside the program, not the user's", {"--all", "--port", "COM2"}, {},
     "exit 0 port 2 sent 48 65 6C 6C 6F 09 45 13 00 01 03 07 1E 14 00", true, true},
    {"no settings file: the defaults, no file made", {"--all", "--port", "COM2"}, {},
     "exit 0 port 2 sent 48 65 6C 6C 6F 09 45 13 00 A8 03 07 1E 14 00", false},
    {"the line drains at the last turn", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.drainPolls = 99; },
     "exit 0 port 3 sent " + Clock},
    // Nothing touches a port.
    {"dry run", {"--clock", "--dry-run"}, {}, "exit 0 out " + Clock},
    {"dry run with a port", {"--dry-run", "--all", "--port", "COM3"}, {}, "exit 0 out " + All},
    {"--help", {"--help"}, {}, "exit 0" + Usage},
    {"--version", {"--version"}, {}, "exit 0 out tallymark-send " TALLYMARK_VERSION},
    // Values from the command line over a file that holds others, for this send only.
    {"every value given", {"--all", "--dry-run", "--days", "999", "--down", "--brightness", "5", "--work", "07:00-19:00"},
     {}, "exit 0 out " + All, true, true},
    {"counting up, the working time off",
     {"--all", "--dry-run", "--up", "--days=168", "--brightness", "8", "--work", "08:30-17:15", "--work-off"}, {},
     "exit 0 out 48 65 6C 6C 6F 30 05 08 00 A8 00 08 1E 91 0F", true, true, {8, 5, 30}},
    {"the count reset, sent", {"--all", "--port", "COM2", "--days", "0"}, {},
     "exit 0 port 2 sent 48 65 6C 6C 6F 09 45 13 00 00 03 87 00 13 00"},
    // The command line refused.
    {"nothing", {}, {}, Refused + "--clock or --all is needed"},
    {"only a port", {"--port", "COM3"}, {}, Refused + "--clock or --all is needed"},
    {"both updates", {"--clock", "--all"}, {}, Refused + "--clock and --all do not go together"},
    {"twice", {"--clock", "--clock"}, {}, Refused + "\"--clock\" is given twice"},
    {"two ports", {"--all", "--port", "COM3", "--port=COM4"}, {}, Refused + "\"--port\" is given twice"},
    {"no port name", {"--all", "--port"}, {}, Refused + "--port needs a port name, COM1 to COM32"},
    {"COM33", {"--all", "--port", "COM33"}, {}, Refused + "the port name \"COM33" + NotAPort},
    {"lower case", {"--all", "--port", "com3"}, {}, Refused + "the port name \"com3" + NotAPort},
    {"an option as the port", {"--port", "--all"}, {}, Refused + "the port name \"--all" + NotAPort},
    {"line end in the port", {"--all", "--port=COM3\n"}, {}, Refused + "the port name \"COM3?" + NotAPort},
    {"unknown option", {"--clock", "-n"}, {}, Refused + "unknown option \"-n\""},
    {"a word", {"--clock", "now"}, {}, Refused + "unexpected argument \"now\""},
    {"a value with --clock", {"--clock", "--brightness", "3"}, {},
     Refused + "\"--brightness\" does not go with --clock, whose update carries no settings"},
    {"four digits", {"--all", "--days", "1000"}, {}, Refused + "--days \"1000\" is not a day count of one to three characters"},
    {"brightness 9", {"--all", "--brightness=9"}, {}, Refused + "--brightness \"9\" is not one of 1 to 8"},
    {"24:00", {"--all", "--work", "07:00-24:00"}, {},
     Refused + "--work \"07:00-24:00\" is not a working time HH:MM-HH:MM within 00:00 to 23:59"},
    {"one digit of hour", {"--all", "--work", "7:00-19:00"}, {},
     Refused + "--work \"7:00-19:00\" is not a working time HH:MM-HH:MM within 00:00 to 23:59"},
    {"up and down", {"--all", "--up", "--down"}, {}, Refused + "--up and --down do not go together"},
    {"no count", {"--all", "--days"}, {}, Refused + "\"--days\" needs a value"},
    {"a value for a switch", {"--all", "--work-off=1"}, {}, Refused + "\"--work-off\" takes no value"},
    {"--help with a wrong word", {"--help", "--verbose"}, {}, Refused + "unknown option \"--verbose\""},
    // No usable port.
    {"no port found", {"--clock"}, Ports({}), "exit 3 port 32 err no serial port from COM1 to COM32 opens"},
    {"the only port held", {"--clock"}, [](FakeSerialPort& p) { p.present = p.held = {3}; },
     "exit 3 port 32 err no serial port from COM1 to COM32 opens"},
    {"missing port named", {"--clock", "--port", "COM9"}, {}, "exit 4 port 9 err COM9" + InUse + " (no such port)"},
    {"held port named", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.held = {3}; },
     "exit 4 port 3 err COM3" + InUse + " (in use by another program)"},
    {"port number refused", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.refuseCommPort = true; },
     "exit 4 port 1 err COM3" + InUse + " (port number refused)"},
    {"opens but reads back closed", {"--all", "--port", "COM3"}, [](FakeSerialPort& p) { p.openReadsFalse = true; },
     "exit 4 port 3 err COM3 did not stay open"},
    // The send fails once the port is open.
    {"greeting refused: nothing follows", {"--all", "--port", "COM3"}, [](FakeSerialPort& p) { p.refuseText = true; },
     "exit 5 port 3 err the send to COM3 failed: output refused"},
    {"count cannot be read", {"--all", "--port", "COM3"}, [](FakeSerialPort& p) { p.failCount = true; },
     "exit 5 port 3 sent " + All + " err the send to COM3 failed: device has gone"},
    {"a line that never drains", {"--clock", "--port", "COM3"}, [](FakeSerialPort& p) { p.drainPolls = INT_MAX; },
     "exit 5 port 3 sent " + Clock + " err COM3 held the update back for 30 seconds; the send was given up"},
};

} // namespace

class TestSendCommand : public QObject {
    Q_OBJECT

private slots:
    void runs_data()
    {
        QTest::addColumn<int>("row");
        for (std::size_t i = 0; i < std::size(Cases); ++i)
            QTest::newRow(Cases[i].name) << int(i);
    }
    void runs()
    {
        QFETCH(int, row);
        const Case& c = Cases[row];
        QTemporaryDir folder;
        const QString ini = folder.filePath("Tallymark.ini");
        const std::string beside = c.perUser ? "[Tallymarks]\r\nDDD=1\r\n" : StoredFile;
        if (c.settingsFile)
            testing::WriteAll(ini, beside);
        if (c.perUser && QDir(folder.path()).mkdir("user"))
            testing::WriteAll(folder.filePath("user/Tallymark.ini"), StoredFile);
        FakeSerialPort port;
        if (c.arrange)
            c.arrange(port);
        const auto store = SystemProfileStore();
        std::string out, err;
        int turns = 0; // the drain wait's patience is 100 turns
        Platform platform{port, *store, [&] { return folder.path().toStdString(); },
                          [&] { return c.at; }, [&] { return ++turns <= 100; },
                          [&](std::string_view text) { out += text; }, [&](std::string_view text) { err += text; },
                          [&] { return folder.filePath("user").toStdString(); }};

        const ExitCode code = RunCommand(c.arguments, platform);

        const auto* sent = reinterpret_cast<const std::uint8_t*>(port.sent.data());
        const std::string firstOut = out.substr(0, out.find('\n')), line = err;
        std::string outcome = "exit " + std::to_string(static_cast<int>(code));
        outcome += port.log.empty() ? "" : " port " + std::to_string(port.CommPort());
        outcome += port.sent.empty() ? "" : " sent " + HexBytes({sent, port.sent.size()});
        outcome += firstOut.empty() ? "" : " out " + firstOut;
        // One line at most, and it names the program.
        QCOMPARE(std::count(line.begin(), line.end(), '\n'), std::ptrdiff_t(line.empty() ? 0 : 1));
        QVERIFY(line.empty() || (line.starts_with("tallymark-send: ") && line.ends_with('\n')));
        outcome += line.empty() ? "" : " err " + line.substr(16, line.size() - 17);

        QCOMPARE(QString::fromStdString(outcome), QString::fromStdString(c.expected));
        QVERIFY(!port.PortOpen());
        QCOMPARE(testing::ReadAll(ini), c.settingsFile ? beside : "<missing>");
    }
};

QTEST_GUILESS_MAIN(TestSendCommand)
#include "test_send_command.moc"
