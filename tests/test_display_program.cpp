// The tallymark-display program as a panel meets it: started with --log, fed through the
// COM link it publishes, and stopped by a signal.

#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "display/SerialLine.h"
#include "link/DisplayRecord.h"

namespace fs = std::filesystem;
using namespace tallymark;

namespace {

QString ProgramPath()
{
    return qEnvironmentVariable("TALLYMARK_DISPLAY");
}

// The program running on the offscreen platform, with its standard output read line by line.
class DisplayProcess {
public:
    explicit DisplayProcess(const QStringList& arguments, const QString& program = ProgramPath())
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(environment);
        m_process.start(program, arguments);
    }

    ~DisplayProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    QProcess& process() { return m_process; }

    // The next line of standard output, or an empty text after the timeout.
    QString nextLine(int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine()) {
            if (timer.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning)
                return {};
            m_process.waitForReadyRead(100);
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // The "ready" line's fields.
    QMap<QString, QString> ready()
    {
        QMap<QString, QString> fields;
        const QString line = nextLine();
        const QStringList words = line.split(' ');
        if (words.value(0) != "ready")
            return fields;
        for (const QString& word : words.mid(1))
            fields.insert(word.section('=', 0, 0), word.section('=', 1));
        return fields;
    }

private:
    QProcess m_process;
};

QByteArray Update(const PanelSettings& settings, int button, TimeOfDay time)
{
    const DisplayRecord record = BuildDisplayRecord(settings, static_cast<std::int16_t>(button), [&] { return time; });
    return QByteArray(Greeting.data(), static_cast<qsizetype>(Greeting.size()))
        + QByteArray(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size()));
}

QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Writes each piece as the panel does, in one go, with a pause after it that ends whatever
// the display was reading.
void Send(const QString& link, const QByteArrayList& pieces)
{
    const int fd = ::open(link.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    QVERIFY2(fd >= 0, qPrintable(link));
    for (const QByteArray& piece : pieces) {
        QCOMPARE(::write(fd, piece.constData(), static_cast<size_t>(piece.size())), ssize_t(piece.size()));
        QTest::qSleep(60);
    }
    ::close(fd);
}

} // namespace

class DisplayProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void logsUpdatesAndRejectedRuns();
    void removesItsLinkOnSignals_data();
    void removesItsLinkOnSignals();
    void refusesAPortThatIsTaken();
    void refusesABadCommandLine_data();
    void refusesABadCommandLine();
    void publishesBesideTheSiblingPanelByDefault();
    void readsAGivenDevice();
};

void DisplayProgramTest::initTestCase()
{
    QVERIFY2(QFileInfo(ProgramPath()).isExecutable(), "TALLYMARK_DISPLAY names no program");
}

void DisplayProgramTest::logsUpdatesAndRejectedRuns()
{
    QTemporaryDir folder;
    const QString panelFolder = folder.filePath("ui");
    DisplayProcess display({"--panel-dir", panelFolder, "--com", "7", "--log"});
    const auto ready = display.ready();
    QCOMPARE(ready.value("port"), QString("COM7"));
    const QString link = panelFolder + "/ports/COM7";
    QCOMPARE(ready.value("link"), link);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), ready.value("line"));

    PanelSettings settings{"999", false, "5", 1, 420, 1140};
    const QByteArray first = Update(settings, 1, {13, 45, 9});
    const QByteArray keep = Update(settings, 0, {13, 45, 10});
    const QByteArray second = Update({"168", true, "8", 0, 510, 1035}, 1, {8, 5, 30});
    Send(link, {"xx" + first, "Hel", keep, second.left(9), second});

    const QStringList expected{
        "rejected reason=garbage length=2 hex=78 78",
        "update time=13:45:09 count=999 direction=down brightness=5 code=3 work=on start=07:00 end=19:00 hex="
            + Hex(first),
        "rejected reason=cut-greeting length=3 hex=48 65 6C",
        "update time=13:45:10 count=keep direction=down brightness=5 code=3 work=on start=07:00 end=19:00 hex="
            + Hex(keep),
        "rejected reason=cut-record length=9 hex=" + Hex(second.left(9)),
        "update time=08:05:30 count=168 direction=up brightness=8 code=0 work=off start=08:30 end=17:15 hex="
            + Hex(second),
    };
    for (const QString& line : expected)
        QCOMPARE(display.nextLine(), line);

    // The line stays up after the sender closed it: a second send gets through too.
    Send(link, {first});
    QVERIFY(display.nextLine().startsWith("update time=13:45:09 count=999 "));
}

void DisplayProgramTest::removesItsLinkOnSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int{SIGTERM};
    QTest::newRow("SIGINT") << int{SIGINT};
    QTest::newRow("SIGHUP") << int{SIGHUP};
}

void DisplayProgramTest::removesItsLinkOnSignals()
{
    QFETCH(int, signalNumber);

    QTemporaryDir folder;
    DisplayProcess display({"--panel-dir", folder.path()});
    const QString link = display.ready().value("link");
    QCOMPARE(link, folder.filePath("ports/COM1"));
    QVERIFY(QFileInfo(link).isSymLink());

    QCOMPARE(::kill(static_cast<pid_t>(display.process().processId()), signalNumber), 0);
    QVERIFY(display.process().waitForFinished(10000));
    QCOMPARE(display.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(display.process().exitCode(), 0);
    QVERIFY(!fs::exists(fs::symlink_status(link.toStdString())));
}

void DisplayProgramTest::refusesAPortThatIsTaken()
{
    QTemporaryDir folder;
    DisplayProcess first({"--panel-dir", folder.path(), "--com", "3"});
    const QString link = first.ready().value("link");
    QVERIFY(!link.isEmpty());
    const QString target = QFileInfo(link).symLinkTarget();

    DisplayProcess second({"--panel-dir", folder.path(), "--com", "3"});
    QVERIFY(second.process().waitForFinished(10000));
    QCOMPARE(second.process().exitCode(), 2);
    QVERIFY(second.process().readAllStandardError().contains("taken"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);

    // Without a number the next display takes the next free port.
    DisplayProcess third({"--panel-dir", folder.path()});
    QCOMPARE(third.ready().value("port"), QString("COM1"));
}

void DisplayProgramTest::refusesABadCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("port 0") << QStringList{"--com", "0"} << "--com";
    QTest::newRow("port 33") << QStringList{"--com", "33"} << "--com";
    QTest::newRow("port not a number") << QStringList{"--com", "COM3"} << "--com";
    QTest::newRow("no such device") << QStringList{"--device", "/nonexistent/ttyUSB0"} << "/nonexistent/ttyUSB0";
    QTest::newRow("a device that is no terminal") << QStringList{"--device", "/dev/null"} << "/dev/null";
    QTest::newRow("device and port together") << QStringList{"--device", "/dev/null", "--com", "3"} << "--device";
    QTest::newRow("pause of 0") << QStringList{"--pause-ms", "0"} << "--pause-ms";
    QTest::newRow("pause not a number") << QStringList{"--pause-ms", "soon"} << "--pause-ms";
}

void DisplayProgramTest::refusesABadCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    QTemporaryDir folder;
    DisplayProcess display(QStringList{"--panel-dir", folder.path()} + arguments);
    QVERIFY(display.process().waitForFinished(10000));
    QCOMPARE(display.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(display.process().exitCode(), 2);
    QVERIFY(display.process().readAllStandardError().contains(message.toUtf8()));
    QVERIFY(display.process().readAllStandardOutput().isEmpty());
    QVERIFY(!QFileInfo::exists(folder.filePath("ports")));
}

void DisplayProgramTest::publishesBesideTheSiblingPanelByDefault()
{
    // A build tree in miniature: <build>/display/tallymark-display and <build>/ui.
    QTemporaryDir build;
    QVERIFY(QDir(build.path()).mkpath("display"));
    const QString copy = build.filePath("display/tallymark-display");
    QVERIFY(QFile::copy(ProgramPath(), copy));
    DisplayProcess display({}, copy);
    const auto ready = display.ready();
    QCOMPARE(ready.value("link"), build.filePath("ui/ports/COM1"));
    QVERIFY(QFileInfo(ready.value("link")).isSymLink());
}

void DisplayProgramTest::readsAGivenDevice()
{
    // A pseudo-terminal stands in for the far end of a null-modem cable: the display opens
    // its terminal side as the device, the test writes into the other side.
    auto cable = tallymark::display::SerialLine::CreatePseudoTerminal();
    DisplayProcess display({"--device", QString::fromStdString(cable.SenderPath()), "--log"});
    QCOMPARE(display.nextLine(), "ready device=" + QString::fromStdString(cable.SenderPath()));

    const QByteArray update = Update({"12", true, "8", 0, 0, 0}, 1, {23, 59, 59});
    // Bytes paced as a USB adapter delivers them: in bursts, with a gap between.
    QCOMPARE(::write(cable.ReadDescriptor(), update.constData(), 7), ssize_t(7));
    QTest::qSleep(16);
    QCOMPARE(::write(cable.ReadDescriptor(), update.constData() + 7, 8), ssize_t(8));
    QCOMPARE(display.nextLine(),
             "update time=23:59:59 count=12 direction=up brightness=8 code=0 work=off start=00:00 end=00:00 hex="
                 + Hex(update));

    // The cable's far end goes away: the display says so instead of spinning on the line.
    { auto gone = std::move(cable); }
    QVERIFY(display.nextLine().startsWith("line-failed reason="));
    QCOMPARE(display.process().state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(DisplayProgramTest)
#include "test_display_program.moc"
