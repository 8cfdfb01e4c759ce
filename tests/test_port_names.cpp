// Port numbers to devices: the fixed table, and the operator's own "ports/COMn" entries
// beside the program, which win and are followed to the device they name.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include "link/PortsFolder.h"
#include "support/ClosedFolder.h"

using tallymark::testing::AsUserWhoCannotWrite;
#endif

#include "link/PortNames.h"

namespace fs = std::filesystem;
using tallymark::PortDevicePath;

class TestPortNames : public QObject {
    Q_OBJECT

private:
    QTemporaryDir programDir_;
    fs::path Program() const { return fs::path(programDir_.path().toStdString()); }
    fs::path Ports() const { return Program() / "ports"; }

    static void Touch(const fs::path& file) { std::ofstream(file).put('\n'); }

private slots:
    void init()
    {
        QVERIFY(programDir_.isValid());
        fs::remove_all(Ports());
    }

    void standardDevices_data()
    {
        QTest::addColumn<int>("portNumber");
        QTest::addColumn<QString>("device");
#ifdef _WIN32
        QTest::newRow("COM1") << 1 << R"(\\.\COM1)";
        QTest::newRow("COM10") << 10 << R"(\\.\COM10)";
        QTest::newRow("COM32") << 32 << R"(\\.\COM32)";
        QTest::newRow("COM0") << 0 << QString();
#else
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("COM4") << 4 << "/dev/ttyS3";
        QTest::newRow("COM5") << 5 << "/dev/ttyUSB0";
        QTest::newRow("COM10") << 10 << "/dev/ttyUSB5";
        QTest::newRow("COM20") << 20 << "/dev/ttyUSB15";
        QTest::newRow("COM21") << 21 << "/dev/ttyACM0";
        QTest::newRow("COM32") << 32 << "/dev/ttyACM11";
        QTest::newRow("COM33") << 33 << QString();
        QTest::newRow("COM0") << 0 << QString();
        QTest::newRow("negative") << -1 << QString();
#endif
    }

    void standardDevices()
    {
        QFETCH(int, portNumber);
        QFETCH(QString, device);
        QCOMPARE(QString::fromStdString(PortDevicePath(portNumber, Program().string())), device);
        QCOMPARE(QString::fromStdString(PortDevicePath(portNumber, "")), device);
    }

#ifndef _WIN32
    void linkBesideTheProgramWins()
    {
        fs::create_directories(Ports());
        const fs::path device = Program() / "device";
        Touch(device);
        fs::create_symlink(device, Ports() / "COM2");
        QCOMPARE(PortDevicePath(2, Program().string()), device.string());
        // Names are compared whole: COM2's entry is not COM20's.
        QCOMPARE(PortDevicePath(20, Program().string()), std::string("/dev/ttyUSB15"));
        QCOMPARE(PortDevicePath(3, Program().string()), std::string("/dev/ttyS2"));
    }

    void linksAreFollowedToTheDevice()
    {
        fs::create_directories(Ports());
        fs::create_directories(Program() / "by-id");
        const fs::path device = Program() / "ttyREAL";
        Touch(device);
        fs::create_symlink("../ttyREAL", Program() / "by-id" / "adapter");
        fs::create_symlink("../by-id/adapter", Ports() / "COM9");
        QCOMPARE(PortDevicePath(9, Program().string()), fs::canonical(device).string());
    }

    void entryThatIsTheDeviceItself()
    {
        fs::create_directories(Ports());
        Touch(Ports() / "COM40");
        QCOMPARE(PortDevicePath(40, Program().string()), fs::canonical(Ports() / "COM40").string());
    }

    void linkToNothingStillWins()
    {
        fs::create_directories(Ports());
        fs::create_symlink(Program() / "unplugged", Ports() / "COM1");
        const std::string device = PortDevicePath(1, Program().string());
        QVERIFY(device != "/dev/ttyS0");
        QVERIFY(!fs::exists(device));
    }

    void otherEntriesAreIgnored()
    {
        fs::create_directories(Ports());
        Touch(Ports() / "com6");
        Touch(Ports() / "COM06");
        Touch(Ports() / "COM6.txt");
        QCOMPARE(PortDevicePath(6, Program().string()), std::string("/dev/ttyUSB1"));
    }

    // An installed panel cannot write its own folder: the user's entries come first, then
    // those an administrator put beside the program.
    void userFolderWhereTheProgramsFolderIsClosed()
    {
        const QTemporaryDir config;
        const fs::path user = fs::path(config.path().toStdString()) / "tallymark" / "ports";
        fs::create_directories(user);
        fs::create_directories(Ports());
        // Open to read for the user who cannot write.
        const auto readable
            = fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
        for (const fs::path& folder : {Program(), fs::path(config.path().toStdString())})
            fs::permissions(folder, readable, fs::perm_options::add);
        const fs::path mine = user / "ttyMINE", theirs = Program() / "ttyTHEIRS", shared = Program() / "ttySHARED";
        for (const fs::path& device : {mine, theirs, shared})
            Touch(device);
        fs::create_symlink(mine, user / "COM7");
        fs::create_symlink(theirs, Ports() / "COM7");
        fs::create_symlink(shared, Ports() / "COM8");
        const std::string program = Program().string();
        const auto sees = [&](const fs::path& folder) {
            return [&, folder] {
                return PortDevicePath(7, program) == mine.string() && PortDevicePath(8, program) == shared.string()
                    && tallymark::PortsFolder(program) == folder.string();
            };
        };

        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QVERIFY(AsUserWhoCannotWrite(Program(), sees(user)));
        // A relative $XDG_CONFIG_HOME does not count; $HOME/.config stands in.
        fs::create_directories(fs::path(config.path().toStdString()) / ".config");
        fs::create_symlink("../tallymark", fs::path(config.path().toStdString()) / ".config" / "tallymark");
        const QByteArray home = qgetenv("HOME");
        qputenv("XDG_CONFIG_HOME", "relative");
        qputenv("HOME", QFile::encodeName(config.path()));
        const bool seenThroughHome = AsUserWhoCannotWrite(
            Program(), sees(fs::path(config.path().toStdString()) / ".config" / "tallymark" / "ports"));
        qputenv("HOME", home);
        QVERIFY(seenThroughHome);

        // Where the program's folder can be written, the user's entries are not looked at.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QCOMPARE(PortDevicePath(7, program), theirs.string());
        QCOMPARE(tallymark::PortsFolder(program), Ports().string());
        // Nor where it is not there yet: the first entry makes it.
        QCOMPARE(tallymark::PortsFolder((Program() / "new").string()), (Program() / "new" / "ports").string());
        qunsetenv("XDG_CONFIG_HOME");
    }
#endif
};

QTEST_GUILESS_MAIN(TestPortNames)
#include "test_port_names.moc"
