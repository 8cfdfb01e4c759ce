// The serial component against real ttys: pseudo-terminals reached through "ports/COMn"
// links in a temporary program folder, with other processes standing in for other programs.

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <csignal>
#include <cstring>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

#include "link/PosixTty.h"
#include "link/PortNames.h"
#include "link/qt/QtSerialPort.h"
#include "tests/support/OtherProgram.h"
#include "tests/support/PseudoTerminal.h"

using namespace std::chrono_literals;
using tallymark::QtSerialPort;
using tallymark::OpenFailure;
using tallymark::OpenRefusal;
using tallymark::SerialError;
using tallymark::testing::AnotherProcessCanFlock;
using tallymark::testing::LinkPort;
using tallymark::testing::OtherProgram;
using tallymark::testing::PseudoTerminal;
using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

constexpr int PortNumber = 7;

QByteArray Hex(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())).toHex(' ');
}

Bytes Pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Whether the port opens; where it does not, `why` gets the reason the component gave.
bool Opens(QtSerialPort& port, OpenFailure* why = nullptr)
{
    try {
        port.SetPortOpen(true);
    } catch (const tallymark::PortOpenError& error) {
        if (why)
            *why = error.Failure();
        return false;
    } catch (const SerialError&) {
        return false;
    }
    return port.PortOpen();
}

// Where Qt keeps the lock file of a device, found by watching an open port make one.
std::optional<QString> LockFileOf(QtSerialPort& port, const std::string& device)
{
    QString name = QString::fromStdString(device);
    name.remove(0, name.startsWith(QLatin1String("/dev/")) ? 5 : 0);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QStringList folders = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp",
                                 "/var/tmp", "/var/lock/lockdev", "/run/lock", QDir::tempPath()};
    if (!Opens(port))
        return std::nullopt;
    std::optional<QString> found;
    for (const QString& folder : folders) {
        const QString path = folder + "/LCK.." + name;
        if (QFile::exists(path)) {
            found = path;
            break;
        }
    }
    port.SetPortOpen(false);
    return found;
}

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT

private:
    QTemporaryDir programDir_;
    std::unique_ptr<PseudoTerminal> terminal_;

    std::string ProgramDir() const { return QFile::encodeName(programDir_.path()).toStdString(); }

    std::unique_ptr<QtSerialPort> PortOnTerminal()
    {
        auto port = std::make_unique<QtSerialPort>(ProgramDir());
        port->SetCommPort(PortNumber);
        port->SetSettings("9600,n,8,1");
        return port;
    }

    int CountAfterDraining(QtSerialPort& port, QDeadlineTimer deadline)
    {
        int count = port.OutBufferCount();
        while (count != 0 && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            count = port.OutBufferCount();
        }
        return count;
    }

private slots:
    void init()
    {
        QVERIFY(programDir_.isValid());
        terminal_ = std::make_unique<PseudoTerminal>();
        LinkPort(ProgramDir(), PortNumber, terminal_->DevicePath());
    }

    void cleanup() { terminal_.reset(); }

    void deliversExactlyTheQueuedBytes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Bytes>("bytes");
        QTest::newRow("greeting and record")
            << QByteArray("Hello") << Bytes{0x09, 0x45, 0x13, 0x03, 0xE7, 0x03, 0x87, 0x00, 0x13, 0x00};
        // A tty left in its usual mode would turn LF into CR LF, or drop or act on these.
        QTest::newRow("line ends and control bytes")
            << QByteArray("Hello") << Bytes{0x0A, 0x0D, 0x00, 0x04, 0x03, 0x1A, 0x11, 0x13, 0x7F, 0xFF};
        QTest::newRow("text with a line end") << QByteArray("He\nlo\r") << Bytes{0x0A, 0x0A};
        QTest::newRow("bytes only") << QByteArray() << Bytes{0xAA};
    }

    void deliversExactlyTheQueuedBytes()
    {
        QFETCH(QByteArray, text);
        QFETCH(Bytes, bytes);
        auto port = PortOnTerminal();
        port->SetPortOpen(true);
        port->SetDTREnable(true);
        port->Output(std::string_view(text.constData(), text.size()));
        port->Output(bytes);
        QCOMPARE(CountAfterDraining(*port, QDeadlineTimer(5s)), 0);
        port->SetPortOpen(false);
        QVERIFY(!port->PortOpen());

        Bytes expected(text.begin(), text.end());
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        const Bytes received = terminal_->ReadUntilQuiet(200ms);
        QCOMPARE(Hex(received), Hex(expected));
    }

    void countCoversBytesQtStillHolds()
    {
        // More than the pseudo-terminal takes in while nobody reads it.
        const Bytes payload = Pattern(256 * 1024);
        auto port = PortOnTerminal();
        port->SetPortOpen(true);
        port->Output(payload);
        QVERIFY(port->OutBufferCount() > 0);

        Bytes received;
        std::thread reader([&] { received = terminal_->Read(payload.size(), 5s); });
        const int count = CountAfterDraining(*port, QDeadlineTimer(10s));
        reader.join();
        QCOMPARE(count, 0);
        QCOMPARE(received.size(), payload.size());
        QVERIFY(received == payload);
        port->SetPortOpen(false);
    }

    void closingSendsEverythingQueued()
    {
        const Bytes payload = Pattern(256 * 1024);
        auto port = PortOnTerminal();
        port->SetPortOpen(true);
        port->Output(payload);
        Bytes received;
        std::thread reader([&] { received = terminal_->Read(payload.size(), 5s); });
        port->SetPortOpen(false);
        reader.join();
        QVERIFY(!port->PortOpen());
        QCOMPARE(received.size(), payload.size());
        QVERIFY(received == payload);
    }

    // A pseudo-terminal keeps the speed, the stop bits and the odd and mark/space choice,
    // but always reports 8 data bits and parity off, so only those are compared.
    void lineSettingsReachTheDevice_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("parityKind");
        QTest::addColumn<bool>("twoStopBits");
        QTest::newRow("the display's") << "9600,n,8,1" << int(B9600) << 0 << false;
        QTest::newRow("even, 7, 2") << "19200,e,7,2" << int(B19200) << 0 << true;
        QTest::newRow("odd, upper case") << "4800,O,5,1" << int(B4800) << int(PARODD) << false;
        QTest::newRow("mark") << "1200,m,8,1" << int(B1200) << int(CMSPAR | PARODD) << false;
        QTest::newRow("space") << "2400,S,6,2" << int(B2400) << int(CMSPAR) << true;
        QTest::newRow("115200") << "115200,n,8,1" << int(B115200) << 0 << false;
    }

    void lineSettingsReachTheDevice()
    {
        QFETCH(QString, settings);
        QFETCH(int, speed);
        QFETCH(int, parityKind);
        QFETCH(bool, twoStopBits);
        auto port = PortOnTerminal();
        port->SetSettings(settings.toStdString());
        port->SetPortOpen(true);

        const int fd = ::open(terminal_->DevicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd != -1);
        termios line{};
        QCOMPARE(::tcgetattr(fd, &line), 0);
        ::close(fd);
        port->SetPortOpen(false);

        QCOMPARE(int(cfgetospeed(&line)), speed);
        QCOMPARE(int(line.c_cflag & (PARODD | CMSPAR)), parityKind);
        QCOMPARE((line.c_cflag & CSTOPB) != 0, twoStopBits);
        QCOMPARE(int(line.c_cflag & CRTSCTS), 0);
        QCOMPARE(int(line.c_iflag & (IXON | IXOFF)), 0);
        QCOMPARE(int(line.c_oflag & OPOST), 0);
    }

    void oneAndAHalfStopBitsRefusedWhereTheSystemLacksThem()
    {
        auto port = PortOnTerminal();
        port->SetSettings("9600,n,5,1.5");
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetPortOpen(true));
        QVERIFY(!port->PortOpen());
        port->SetSettings("9600,n,8,1");
        QVERIFY(Opens(*port));
        port->SetPortOpen(false);
    }

    void missingPortFailsToOpen_data()
    {
        QTest::addColumn<int>("portNumber");
        QTest::addColumn<QString>("linkTarget");
        QTest::newRow("link to nothing") << 3 << "/dev/tallymark-no-such-device";
        QTest::newRow("number without a device") << 33 << QString();
        QTest::newRow("table device absent") << 32 << QString();
    }

    void missingPortFailsToOpen()
    {
        QFETCH(int, portNumber);
        QFETCH(QString, linkTarget);
        if (!linkTarget.isEmpty())
            LinkPort(ProgramDir(), portNumber, linkTarget.toStdString());
        else if (portNumber == 32 && std::filesystem::exists("/dev/ttyACM11"))
            QSKIP("this machine has /dev/ttyACM11");
        QtSerialPort port(ProgramDir());
        if (portNumber > tallymark::HighestPortNumber) {
            // A number beyond the panel's ports is refused as it is set.
            QVERIFY_THROWS_EXCEPTION(SerialError, port.SetCommPort(static_cast<std::int16_t>(portNumber)));
            return;
        }
        port.SetCommPort(static_cast<std::int16_t>(portNumber));
        OpenFailure why;
        QVERIFY(!Opens(port, &why));
        QCOMPARE(int(why.reason), int(OpenRefusal::NoDevice));
        QVERIFY(!port.PortOpen());
        port.SetPortOpen(false); // closing what never opened does nothing
    }

    void fileThatIsNoTerminalFailsToOpen()
    {
        const QString file = programDir_.filePath("not-a-port");
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        LinkPort(ProgramDir(), 4, QFile::encodeName(file).toStdString());
        QtSerialPort port(ProgramDir());
        port.SetCommPort(4);
        QVERIFY_THROWS_EXCEPTION(SerialError, port.SetPortOpen(true));
        QVERIFY(!port.PortOpen());
    }

    void accessDeniedFailsToOpen()
    {
        if (::geteuid() != 0)
            QSKIP("needs the superuser to become another user");
        // The terminal is the superuser's, writable by nobody else; the folder must stay
        // readable so that the link, not a missing folder, leads to the refusal.
        QVERIFY(QFile::setPermissions(programDir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                              | QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(::chmod(terminal_->DevicePath().c_str(), 0600), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            QtSerialPort port(ProgramDir());
            try {
                port.SetCommPort(PortNumber);
                port.SetPortOpen(true);
            } catch (const SerialError& error) {
                ::_exit(std::string(error.what()).find("ermission denied") != std::string::npos ? 0 : 2);
            }
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void portHeldByAnotherProgramFailsToOpen_data()
    {
        QTest::addColumn<int>("hold");
        QTest::newRow("flock") << int(OtherProgram::Hold::Flock);
        // The superuser passes exclusive mode by itself; the tests run as one.
        QTest::newRow("exclusive mode") << int(OtherProgram::Hold::ExclusiveMode);
    }

    void portHeldByAnotherProgramFailsToOpen()
    {
        QFETCH(int, hold);
        auto port = PortOnTerminal();
        {
            OtherProgram other(terminal_->DevicePath(), static_cast<OtherProgram::Hold>(hold));
            QVERIFY(other.Holds());
            OpenFailure why;
            QVERIFY(!Opens(*port, &why));
            QCOMPARE(int(why.reason), int(OpenRefusal::HeldByProgram));
            QVERIFY(!port->PortOpen());
        }
        QVERIFY(Opens(*port));
        port->SetPortOpen(false);
    }

    void portWithAnotherProgramsLockFileFailsToOpen_data()
    {
        QTest::addColumn<bool>("uucpForm");
        QTest::addColumn<int>("ageSeconds");
        QTest::newRow("UUCP, fresh") << true << 0;
        QTest::newRow("UUCP, an hour old") << true << 3600;
        QTest::newRow("Qt, fresh") << false << 0;
        QTest::newRow("Qt, an hour old") << false << 3600;
    }

    void portWithAnotherProgramsLockFileFailsToOpen()
    {
        QFETCH(bool, uucpForm);
        QFETCH(int, ageSeconds);
        auto port = PortOnTerminal();
        const std::optional<QString> lockPath = LockFileOf(*port, terminal_->DevicePath());
        QVERIFY2(lockPath.has_value(), "no lock file seen while the port was open");
        QVERIFY(!QFile::exists(*lockPath));

        // UUCP programs write their id alone; a Qt program writes its id, its own path and
        // the host, and holds a flock on the file.
        OtherProgram other(terminal_->DevicePath(), OtherProgram::Hold::Nothing);
        QFile lock(*lockPath);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        const QByteArray pid = QByteArray::number(other.Pid());
        if (uucpForm) {
            lock.write(pid.rightJustified(10, ' ') + '\n');
        } else {
            lock.write(pid + '\n' + QFile::encodeName(QCoreApplication::applicationFilePath()) + '\n'
                       + QSysInfo::machineHostName().toUtf8() + '\n');
            QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
        }
        lock.flush();
        if (ageSeconds > 0) {
            const time_t then = ::time(nullptr) - ageSeconds;
            const utimbuf times{then, then};
            QCOMPARE(::utime(QFile::encodeName(*lockPath).constData(), &times), 0);
        }

        OpenFailure why;
        const bool opened = Opens(*port, &why);
        port->SetPortOpen(false);
        const bool lockKept = QFile::exists(*lockPath);
        lock.close();
        QFile::remove(*lockPath);
        QVERIFY(!opened);
        QVERIFY(lockKept);
        // The holder by its id and, where the system tells, its name.
        QCOMPARE(int(why.reason), int(OpenRefusal::HeldByProgram));
        QCOMPARE(why.processId, std::int64_t(other.Pid()));
        QVERIFY(!why.program.empty());
    }

    void lockFileOfAProgramThatEndedDoesNotHold()
    {
        auto port = PortOnTerminal();
        const std::optional<QString> lockPath = LockFileOf(*port, terminal_->DevicePath());
        QVERIFY(lockPath.has_value());
        pid_t ended = ::fork();
        if (ended == 0)
            ::_exit(0);
        ::waitpid(ended, nullptr, 0);
        QFile lock(*lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(ended).rightJustified(10, ' ') + '\n');
        lock.close();
        const bool opened = Opens(*port);
        port->SetPortOpen(false);
        QFile::remove(*lockPath);
        QVERIFY(opened);
    }

    // Anything but a regular file under the lock file's name, where Qt looks for it: the
    // port counts as held, and the open neither blocks nor reaches Qt, whose own lock code
    // blocks on a FIFO. The open runs in a child with an alarm, so that a hang fails.
    void oddLockFileRefusesWithoutBlocking_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"FIFO", "socket", "symbolic link", "folder", "device"})
            QTest::newRow(kind) << kind;
    }

    void oddLockFileRefusesWithoutBlocking()
    {
        QFETCH(QString, kind);
        auto port = PortOnTerminal();
        const std::optional<QString> found = LockFileOf(*port, terminal_->DevicePath());
        QVERIFY(found.has_value());
        const QByteArray lockPath = QFile::encodeName(*found);
        const auto removeLock = qScopeGuard([&] {
            if (::unlink(lockPath) != 0)
                ::rmdir(lockPath);
        });
        if (kind == "FIFO") {
            QCOMPARE(::mkfifo(lockPath, 0666), 0);
        } else if (kind == "socket") {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, lockPath.constData(), sizeof address.sun_path - 1);
            const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            ::close(listener);
        } else if (kind == "symbolic link") {
            QCOMPARE(::symlink("/dev/null", lockPath), 0);
        } else if (kind == "folder") {
            QCOMPARE(::mkdir(lockPath, 0755), 0);
        } else if (::mknod(lockPath, S_IFCHR | 0666, makedev(1, 3)) != 0) {
            QSKIP("making a device node needs the superuser");
        }

        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);
            try {
                port->SetPortOpen(true);
            } catch (const SerialError& error) {
                ::_exit(std::string(error.what()).find("not a regular file") != std::string::npos ? 0 : 2);
            }
            ::_exit(1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY2(!WIFSIGNALED(status), "the open blocked on the lock file");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // A lock file naming a running process holds the port in the lock folders only; in /tmp
    // and /var/tmp any user could put one.
    void lockFileHoldsOnlyInLockFolders_data()
    {
        QTest::addColumn<QString>("folder");
        for (const char* folder : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"})
            QTest::newRow(folder) << folder;
    }

    void lockFileHoldsOnlyInLockFolders()
    {
        QFETCH(QString, folder);
        auto port = PortOnTerminal();
        const std::optional<QString> qtLock = LockFileOf(*port, terminal_->DevicePath());
        QVERIFY(qtLock.has_value());
        const QFileInfo qtLockInfo(*qtLock);
        QCOMPARE(QString::fromStdString(tallymark::posix::QtLockFolder(qtLockInfo.fileName().toStdString())),
                 qtLockInfo.path());
        if (!QFileInfo(folder).isDir())
            QSKIP("no such folder here");

        const QString lockPath = folder + "/" + qtLockInfo.fileName();
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        const auto removeLock = qScopeGuard([&] { QFile::remove(lockPath); });
        lock.write("         1\n"); // pid 1 runs always
        lock.close();
        const bool lockFolder = folder == "/var/lock" || folder == "/run/lock"
            || QFileInfo(folder).canonicalFilePath() == QFileInfo(qtLockInfo.path()).canonicalFilePath();
        const bool opened = Opens(*port);
        port->SetPortOpen(false);
        QCOMPARE(opened, !lockFolder);
    }

    void openPortRefusesAnotherProgramsFlock()
    {
        auto port = PortOnTerminal();
        port->SetPortOpen(true);
        QVERIFY(!AnotherProcessCanFlock(terminal_->DevicePath()));
        port->SetPortOpen(false);
        QVERIFY(AnotherProcessCanFlock(terminal_->DevicePath()));
    }

    void opensAgainAfterClosing()
    {
        auto port = PortOnTerminal();
        for (int round = 0; round < 3; ++round) {
            port->SetPortOpen(true);
            QVERIFY(port->PortOpen());
            port->Output(std::string_view("Hello"));
            port->SetPortOpen(false);
            port->SetPortOpen(false);
            QVERIFY(!port->PortOpen());
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(terminal_->Read(5, 2s).data()), 5), QByteArray("Hello"));
        }
        // A second component, as another program would be, gets the port once it is let go.
        QtSerialPort other(ProgramDir());
        other.SetCommPort(PortNumber);
        QVERIFY(Opens(other));
        QVERIFY(!Opens(*port));
        other.SetPortOpen(false);
        QVERIFY(Opens(*port));
    }

    void dtrOnATerminalWithoutModemLines()
    {
        auto port = PortOnTerminal();
        port->SetDTREnable(true);
        port->SetPortOpen(true);
        port->SetDTREnable(false);
        port->SetDTREnable(true);
        QVERIFY(port->PortOpen());
        port->SetPortOpen(false);
    }

    void goneDeviceFailsTheCount()
    {
        auto port = PortOnTerminal();
        port->SetPortOpen(true);
        terminal_->HangUp();
        QVERIFY_THROWS_EXCEPTION(SerialError, port->OutBufferCount());
        try {
            port->SetPortOpen(false);
        } catch (const SerialError&) {
        }
        QVERIFY(!port->PortOpen());
    }

    void settingsAndNumberChangeOnlyWhileClosed()
    {
        auto port = PortOnTerminal();
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetSettings("9600,x,8,1"));
        QCOMPARE(port->Settings(), std::string("9600,n,8,1"));
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetCommPort(0));
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetCommPort(-1));
        QCOMPARE(port->CommPort(), std::int16_t(PortNumber));

        port->SetPortOpen(true);
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetCommPort(3));
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetSettings("4800,n,8,1"));
        QVERIFY_THROWS_EXCEPTION(SerialError, port->SetPortOpen(true));
        QCOMPARE(port->CommPort(), std::int16_t(PortNumber));
        QCOMPARE(port->Settings(), std::string("9600,n,8,1"));
        port->SetPortOpen(false);
    }

    void closedPortRefusesOutputAndCount()
    {
        auto port = PortOnTerminal();
        QVERIFY_THROWS_EXCEPTION(SerialError, port->Output(std::string_view("Hello")));
        QVERIFY_THROWS_EXCEPTION(SerialError, port->OutBufferCount());
        QVERIFY(terminal_->ReadUntilQuiet(50ms).empty());
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "test_serial_port.moc"
