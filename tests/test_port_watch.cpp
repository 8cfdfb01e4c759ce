// The port watch of an installed panel: links the virtual display (or the user) makes in
// the user's own ports folder while the panel runs are named, as those beside a panel in a
// build are.

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "link/PortWatch.h"
#include "support/ClosedFolder.h"

namespace fs = std::filesystem;
using tallymark::testing::AsUserWhoCannotWrite;

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
};

QTEST_GUILESS_MAIN(TestPortWatch)
#include "test_port_watch.moc"
