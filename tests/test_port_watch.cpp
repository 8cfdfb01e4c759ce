// The port watch of an installed panel: links the virtual display (or the user) makes in
// the user's own ports folder while the panel runs are named, as those beside a panel in a
// build are. And what the panel on Windows makes of the system's device changes.

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "link/DeviceChanges.h"
#include "link/PortWatch.h"
#include "support/ClosedFolder.h"

namespace fs = std::filesystem;
using tallymark::testing::AsUserWhoCannotWrite;
using tallymark::DeviceEvent;
using tallymark::DeviceKind;

Q_DECLARE_METATYPE(DeviceEvent)
Q_DECLARE_METATYPE(DeviceKind)
Q_DECLARE_METATYPE(std::vector<int>)

class TestPortWatch : public QObject {
    Q_OBJECT

private slots:
    void linksInTheUsersFolderOfAnInstalledPanel()
    {
        const QTemporaryDir program, config;
        const fs::path user = fs::path(config.path().toStdString()) / "tallymark";
        fs::create_directories(user);
        const auto open = fs::perms::others_read | fs::perms::others_exec;
        fs::permissions(program.path().toStdString(), open, fs::perm_options::add);
        fs::permissions(config.path().toStdString(), open, fs::perm_options::add);
        // The user's folder is the checking user's own.
        if (::geteuid() == 0)
            QCOMPARE(::chown(user.c_str(), tallymark::testing::Nobody, tallymark::testing::Nobody), 0);
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const bool named = AsUserWhoCannotWrite(program.path().toStdString(), [&] {
            tallymark::PortWatch watch(program.path().toStdString());
            if (watch.Descriptor() == -1)
                return false;
            // ports/ made while the panel runs is watched from then on.
            fs::create_directory(user / "ports");
            watch.Changes();
            fs::create_symlink("/dev/null", user / "ports" / "COM9");
            const std::vector<int> changes = watch.Changes();
            return std::find(changes.begin(), changes.end(), 9) != changes.end();
        });
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(named);
    }

    void windowsDeviceChanges_data()
    {
        QTest::addColumn<DeviceEvent>("event");
        QTest::addColumn<DeviceKind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::vector<int>>("tryNow");
        QTest::addColumn<bool>("settle");
        QTest::newRow("a named port arrives: it alone, at once")
            << DeviceEvent::Arrival << DeviceKind::Port << "COM31" << std::vector<int>{31} << false;
        QTest::newRow("a named port is removed") << DeviceEvent::RemoveComplete << DeviceKind::Port << "COM5"
                                                 << std::vector<int>{5} << false;
        QTest::newRow("a port named as no panel's port") << DeviceEvent::Arrival << DeviceKind::Port << "LPT1"
                                                         << std::vector<int>{} << false;
        QTest::newRow("a port past COM32") << DeviceEvent::Arrival << DeviceKind::Port << "COM33"
                                           << std::vector<int>{} << false;
        QTest::newRow("another device arrives") << DeviceEvent::Arrival << DeviceKind::Other << "COM4"
                                                << std::vector<int>{} << false;
        QTest::newRow("the device tree changed: settle, then all")
            << DeviceEvent::NodesChanged << DeviceKind::Other << "" << std::vector<int>{} << true;
        QTest::newRow("another event") << DeviceEvent::Other << DeviceKind::Port << "COM4" << std::vector<int>{}
                                       << false;
    }

    void windowsDeviceChanges()
    {
        QFETCH(DeviceEvent, event);
        QFETCH(DeviceKind, kind);
        QFETCH(QString, name);
        const tallymark::DeviceChangeAnswer answer = tallymark::AnswerDeviceChange({event, kind, name.toStdString()});
        QTEST(answer.tryNow, "tryNow");
        QTEST(answer.settle, "settle");
        const std::vector<int> all = tallymark::PortsAfterSettling();
        QCOMPARE(all.size(), std::size_t(32));
        QCOMPARE(all.front() + all.back(), 33);
    }
};

QTEST_GUILESS_MAIN(TestPortWatch)
#include "test_port_watch.moc"
