// The real program, started as an operator starts it: copied into a folder of its own with
// its settings file and a ports/COMn link to a pseudo-terminal, shown on a real X server,
// clicked with the mouse, closed with its close box or its exit button.

#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "support/LiveUpdate.h"
#include "support/PseudoTerminal.h"
#include "support/XSession.h"

using namespace std::chrono_literals;
using namespace tallymark;
using tallymark::testing::LinkNoPorts;
using tallymark::testing::LinkPort;
using tallymark::testing::PseudoTerminal;
using tallymark::testing::XSession;

namespace {

const QString PanelTitle = QStringLiteral("カウントダウン表示器 操作パネル");
const QString QuestionTitle = QStringLiteral("警告");

// Client-area points of the buttons (twips / 15, through their frames).
const QPoint CurrentTimeSend((120 + 240 + 4320 + 2175 / 2) / 15, (600 + 240 + 360 + 495 / 2) / 15);
const QPoint SettingsSend((120 + 240 + 4320 + 2175 / 2) / 15, (600 + 1440 + 1740 + 495 / 2) / 15);
const QPoint Exit((5160 + 2415 / 2) / 15, (5040 + 495 / 2) / 15);

using tallymark::testing::StoredFile;
using tallymark::testing::StoredSettings;
const QByteArray SavedFile = QByteArray(StoredFile).replace("DDD=12345", "DDD=123");

// True once the process has the device open, waiting up to `timeout`. Found among its open
// files, so that looking does not get in the way of the program being watched.
bool WaitUntilOpenBy(qint64 pid, const std::string& device, std::chrono::milliseconds timeout)
{
    const QString target = QString::fromStdString(device);
    QElapsedTimer waited;
    waited.start();
    do {
        const QDir files(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QFileInfo& file : files.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
            if (file.symLinkTarget() == target)
                return true;
        QTest::qWait(5);
    } while (waited.elapsed() < timeout.count());
    return false;
}

// The panel program in a folder of its own.
class Panel {
public:
    // `ports` pairs port numbers with the devices they lead to; every other number leads
    // nowhere, so that the machine's own serial ports take no part.
    explicit Panel(const QByteArray* settingsFile, std::initializer_list<std::pair<int, std::string>> ports = {})
    {
        QVERIFY(folder_.isValid());
        program_ = folder_.filePath("tallymark");
        QVERIFY(QFile::copy(QStringLiteral(TALLYMARK_PROGRAM), program_));
        if (settingsFile)
            WriteSettings(*settingsFile);
        LinkNoPorts(Folder());
        for (const auto& [number, device] : ports)
            LinkPort(Folder(), number, device);
    }
    ~Panel()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    std::string Folder() const { return folder_.path().toStdString(); }
    QString IniPath() const { return folder_.filePath("Tallymark.ini"); }
    void WriteSettings(const QByteArray& content)
    {
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray Settings() const
    {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Starts the program and waits for its window.
    unsigned long Start(XSession& x)
    {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(program_, {});
        if (!process_.waitForStarted(10000))
            return 0;
        return x.WaitForWindow(PanelTitle, 20s).value_or(0);
    }
    bool WaitForExit(int ms = 10000) { return process_.waitForFinished(ms); }
    // True once the program has the device open, as it has exactly while a send is under way.
    bool WaitUntilOpen(const std::string& device, std::chrono::milliseconds timeout) const
    {
        return WaitUntilOpenBy(process_.processId(), device, timeout);
    }
    bool Running() const { return process_.state() == QProcess::Running; }
    int ExitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return process_.exitStatus(); }

private:
    QTemporaryDir folder_;
    QString program_;
    QProcess process_;
};

// Holds a pseudo-terminal's output back, as a line whose far end stopped listening, so
// that a send stays in its drain wait until the line is released.
class HeldLine {
public:
    explicit HeldLine(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC))
    {
        if (fd_ != -1)
            ::tcflow(fd_, TCOOFF);
    }
    ~HeldLine() { Release(); }
    void Release()
    {
        if (fd_ != -1) {
            ::tcflow(fd_, TCOON);
            ::close(fd_);
        }
        fd_ = -1;
    }
    bool Held() const { return fd_ != -1; }

private:
    int fd_;
};

} // namespace

class TestPanelEndToEnd : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<XSession> x_;

    // Clicks a send button and checks the 15 bytes that reach the line.
    void CheckSend(PseudoTerminal& line, unsigned long window, QPoint button, std::int16_t index)
    {
        x_->Click(window, button);
        const std::vector<std::uint8_t> bytes = line.Read(15, 5s);
        QCOMPARE(line.ReadUntilQuiet(200ms).size(), std::size_t(0));
        tallymark::testing::CheckLiveUpdate(bytes, StoredSettings, index);
    }

private slots:
    void initTestCase()
    {
        x_ = std::make_unique<XSession>();
        if (!x_->IsConnected())
            QSKIP("needs an X server; ctest runs this test under xvfb-run");
    }

    void sendsFromBothButtonsAndSavesOnExit()
    {
        PseudoTerminal line;
        Panel panel(&StoredFile, {{3, line.DevicePath()}});
        const unsigned long window = panel.Start(*x_);
        QVERIFY(window);
        QCOMPARE(x_->Geometry(window).size(), QSize(521, 384));

        CheckSend(line, window, CurrentTimeSend, 0);
        CheckSend(line, window, SettingsSend, 1);

        x_->Click(window, Exit);
        QVERIFY(panel.WaitForExit());
        QCOMPARE(panel.ExitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.ExitCode(), 0);
        QCOMPARE(panel.Settings(), SavedFile);
    }

    void firstStartWithoutFile()
    {
        Panel panel(nullptr);
        const unsigned long window = panel.Start(*x_);
        QVERIFY(window);
        x_->RequestClose(window);
        QVERIFY(panel.WaitForExit());
        QCOMPARE(panel.ExitCode(), 0);
        QCOMPARE(panel.Settings(), QByteArray("[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                              "[Tallymarks]\r\nDDD=168\r\nDownCount=1\r\n[Bright]\r\nBright=5\r\n"));
    }

    void closeDuringSendAnsweredNo()
    {
        PseudoTerminal line;
        Panel panel(&StoredFile, {{3, line.DevicePath()}});
        const unsigned long window = panel.Start(*x_);
        QVERIFY(window);

        HeldLine held(line.DevicePath());
        QVERIFY(held.Held());
        x_->Click(window, SettingsSend);
        QVERIFY(panel.WaitUntilOpen(line.DevicePath(), 10s));
        panel.WriteSettings("");
        x_->RequestClose(window);
        const auto question = x_->WaitForWindow(QuestionTitle, 5s);
        QVERIFY(question);
        x_->Key(*question, "Escape"); // No
        QVERIFY(x_->WaitForWindowGone(QuestionTitle, 5s));
        // The window stays, and the settings were written all the same.
        QVERIFY(panel.Running());
        QVERIFY(x_->WaitForWindow(PanelTitle, 1s));
        QTRY_COMPARE(panel.Settings(), QByteArray("[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                              "[Tallymarks]\r\nDDD=123\r\nDownCount=0\r\n[Bright]\r\nBright=3\r\n"));

        // The send goes on once the line moves again, and completes.
        held.Release();
        QCOMPARE(line.Read(15, 5s).size(), std::size_t(15));
        QTest::qWait(200);
        x_->RequestClose(window); // no send under way: no question
        QVERIFY(panel.WaitForExit());
        QCOMPARE(panel.ExitCode(), 0);
    }

    void closeDuringSendAnsweredYes()
    {
        PseudoTerminal line;
        Panel panel(&StoredFile, {{3, line.DevicePath()}});
        const unsigned long window = panel.Start(*x_);
        QVERIFY(window);

        HeldLine held(line.DevicePath());
        x_->Click(window, SettingsSend);
        QVERIFY(panel.WaitUntilOpen(line.DevicePath(), 10s));
        x_->Click(window, Exit);
        const auto question = x_->WaitForWindow(QuestionTitle, 5s);
        QVERIFY(question);
        x_->Key(*question, "Return"); // Yes, the default button
        QVERIFY(panel.WaitForExit(5000));
        QCOMPARE(panel.ExitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.ExitCode(), 0);
        QCOMPARE(panel.Settings(), SavedFile);
        // The port was let go of: another program can take it at once.
        held.Release();
        const int fd = ::open(line.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(fd != -1);
        const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        QVERIFY(taken);
    }

    void portVanishesDuringSend()
    {
        // The adapter is pulled out while a send waits for its bytes to leave: the wait ends,
        // the port is let go of, and the next send reports the missing port.
        auto line = std::make_unique<PseudoTerminal>();
        Panel panel(&StoredFile, {{3, line->DevicePath()}});
        const unsigned long window = panel.Start(*x_);
        QVERIFY(window);

        HeldLine held(line->DevicePath());
        x_->Click(window, SettingsSend);
        QVERIFY(panel.WaitUntilOpen(line->DevicePath(), 10s));
        held.Release();
        line.reset();
        QTest::qWait(300);
        QVERIFY(panel.Running());
        QVERIFY(!x_->WaitForWindow(QuestionTitle, 200ms));

        x_->Click(window, SettingsSend);
        const auto message = x_->WaitForWindow(QuestionTitle, 5s);
        QVERIFY(message);
        x_->Key(*message, "Return");
        QVERIFY(x_->WaitForWindowGone(QuestionTitle, 5s));

        // No send is under way: closing asks nothing.
        x_->Click(window, Exit);
        QVERIFY(panel.WaitForExit());
        QCOMPARE(panel.ExitCode(), 0);
    }

    void heldPortIsNotListed()
    {
        // COM2 and COM5 exist, but another program holds COM5: the panel lists COM2 only and
        // sends there.
        PseudoTerminal free, taken;
        QProcess holder;
        holder.start("flock", {"--exclusive", "--nonblock", QString::fromStdString(taken.DevicePath()), "sleep", "60"});
        QVERIFY(holder.waitForStarted());
        QVERIFY(WaitUntilOpenBy(holder.processId(), taken.DevicePath(), 10s));
        Panel panel(&StoredFile, {{2, free.DevicePath()}, {5, taken.DevicePath()}});
        const unsigned long window = panel.Start(*x_);
        QVERIFY(window);
        CheckSend(free, window, SettingsSend, 1);
        QCOMPARE(taken.ReadUntilQuiet(200ms).size(), std::size_t(0));
        holder.kill();
        holder.waitForFinished();
        x_->Click(window, Exit);
        QVERIFY(panel.WaitForExit());
    }
};

QTEST_GUILESS_MAIN(TestPanelEndToEnd)
#include "test_panel_end_to_end.moc"
