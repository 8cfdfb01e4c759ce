// tallymark-send itself, run as a scheduler runs it: copied into a folder of its own with the
// settings file and its only port, COM3, leading to a pseudo-terminal, free or held.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <optional>

#include "link/qt/QtSerialPort.h"
#include "support/FileContent.h"
#include "support/LiveUpdate.h"
#include "support/OtherProgram.h"
#include "support/PseudoTerminal.h"

using namespace std::chrono_literals;
using namespace tallymark::testing;

// Who stands between the command and its port: nobody, another program, the panel, or the
// device's permissions.
enum class Holder { None, OtherProgram, Panel, Permissions };
Q_DECLARE_METATYPE(Holder)

class TestSendCommandPty : public QObject {
    Q_OBJECT

private slots:
    void runs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Holder>("held");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err"); // the start of the one line on standard error
        QTest::addColumn<int>("index");   // the update sent (or printed by a dry run); -1 for none
        const QString inUse = "tallymark-send: COM3 is in use by another program or does not exist (";
        QTest::newRow("--clock, port found") << QStringList{"--clock"} << Holder::None << 0 << "" << 0;
        QTest::newRow("--all, port named") << QStringList{"--all", "--port", "COM3"} << Holder::None << 0 << "" << 1;
        QTest::newRow("dry run, port held") << QStringList{"--clock", "--dry-run"} << Holder::OtherProgram << 0 << ""
                                            << 0;
        QTest::newRow("port named, held") << QStringList{"--port", "COM3", "--clock"} << Holder::OtherProgram << 4
                                          << inUse << -1;
        QTest::newRow("port named, the panel's") << QStringList{"--port", "COM3", "--all"} << Holder::Panel << 4
                                                 << inUse << -1;
        // The device root:dialout 0660, as Debian makes serial ports, and the command run by a
        // user outside that group.
        const QString join = ": join the group dialout: sudo adduser <user> dialout, then log in again\n";
        QTest::newRow("port named, refused") << QStringList{"--port", "COM3", "--clock"} << Holder::Permissions << 4
                                             << "tallymark-send: COM3 (<device>): permission denied; " + join.mid(2)
                                             << -1;
        QTest::newRow("port found, refused")
            << QStringList{"--all"} << Holder::Permissions << 3
            << "tallymark-send: no serial port from COM1 to COM32 opens; permission denied on <device>" + join << -1;
    }

    void runs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Holder, held);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(int, index);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(TALLYMARK_SEND_PROGRAM), folder.filePath("tallymark-send")));
        WriteAll(folder.filePath("Tallymark.ini"), StoredFile.toStdString());
        PseudoTerminal line;
        LinkNoPorts(folder.path().toStdString());
        LinkPort(folder.path().toStdString(), 3, line.DevicePath());
        std::optional<OtherProgram> other;
        if (held == Holder::OtherProgram)
            QVERIFY(other.emplace(line.DevicePath(), OtherProgram::Hold::Flock).Holds());
        tallymark::QtSerialPort panel(folder.path().toStdString());
        panel.SetCommPort(3);
        if (held == Holder::Panel)
            panel.SetPortOpen(true);
        QString program = folder.filePath("tallymark-send");
        if (held == Holder::Permissions) {
            const passwd* user = ::getpwuid(65534);
            const group* dialout = ::getgrnam("dialout");
            if (::geteuid() != 0 || !user || !dialout)
                QSKIP("needs the superuser, a user 65534 and the group dialout, to refuse a device to a user");
            QVERIFY(QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ReadOther
                                                             | QFile::ExeOther));
            QCOMPARE(::chown(line.DevicePath().c_str(), 0, dialout->gr_gid), 0);
            QCOMPARE(::chmod(line.DevicePath().c_str(), 0660), 0);
            arguments.prepend(program);
            arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--"} + arguments;
            program = QStringLiteral("setpriv");
            err.replace("<user>", QString::fromLocal8Bit(user->pw_name))
                .replace("<device>", QString::fromStdString(line.DevicePath()));
        }

        QProcess process;
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60000));

        QCOMPARE(process.exitCode(), code);
        const QByteArray standardError = process.readAllStandardError();
        QVERIFY2(standardError.startsWith(err.toUtf8()) && standardError.count('\n') == (err.isEmpty() ? 0 : 1),
                 standardError);
        const std::vector<std::uint8_t> sent = line.ReadUntilQuiet(200ms);
        const bool dryRun = arguments.contains("--dry-run");
        const QByteArray printed = QByteArray::fromHex(process.readAllStandardOutput());
        if (index >= 0)
            CheckLiveUpdate(dryRun ? std::vector<std::uint8_t>(printed.begin(), printed.end()) : sent, StoredSettings,
                            static_cast<std::int16_t>(index));
        QCOMPARE(sent.size(), std::size_t(index >= 0 && !dryRun ? 15 : 0));
        QCOMPARE(QByteArray::fromStdString(ReadAll(folder.filePath("Tallymark.ini"))), StoredFile);
    }
};

QTEST_GUILESS_MAIN(TestSendCommandPty)
#include "test_send_command_pty.moc"
