// The portable profile store's file handling: failed writes, one-step replacement,
// permissions, links, and files that are large, odd or random.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/PortableProfileStore.h"
#include "support/FileContent.h"

using namespace tallymark;
using tallymark::testing::ReadAll;
using tallymark::testing::WriteAll;
using tallymark::testing::Printable;
using namespace std::string_view_literals;

namespace {

// The exit status of a child that becomes the unprivileged user "nobody" and runs the step:
// 0 when the step gives true, 1 when false, 3 when the user could not be changed.
int ExitStatusAsNobody(const std::function<bool()>& step)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        ::_exit(step() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ino_t InodeOf(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

class ProfileStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void unreadablePathReadsAsMissing();
    void fifoNeitherHangsNorIsReplaced();
    void writeKeepsPermissions();
    void writeLeavesOnlyTheFile();
    void writeFollowsSymbolicLink();
    void killedWriterLeavesOldOrNewFile();
    void closedFolderRewritesFileInPlace_data();
    void closedFolderRewritesFileInPlace();
    void staleTemporariesRemoved_data();
    void staleTemporariesRemoved();

    void megabyteLine();
    void tenMegabyteFile();
    void randomContentKeepsOtherValues();

private:
    std::string path() const { return QDir(directory_->path()).filePath("Tallymark.ini").toStdString(); }

    std::unique_ptr<QTemporaryDir> directory_;
    PortableProfileStore store_;
};

void ProfileStoreTest::init()
{
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
}

void ProfileStoreTest::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("blocker"); // what stands where the write has to go
    QTest::newRow("the file's folder is a file") << "folder is a file";
    QTest::newRow("the file is a folder") << "file is a folder";
}

void ProfileStoreTest::failedWriteKeepsOldFile()
{
    QFETCH(QString, blocker);
    const QString root = directory_->path();
    std::string target;
    if (blocker == "folder is a file") {
        WriteAll(root + "/programs", "[Tallymarks]\r\nDDD=42\r\n");
        target = (root + "/programs/Tallymark.ini").toStdString();
    } else {
        QVERIFY(QDir(root).mkpath("Tallymark.ini/inside"));
        target = path();
    }
    QVERIFY(!store_.WriteString("Tallymarks", "DDD", "7", target.c_str()));
    QVERIFY(!store_.WriteString("Tallymarks", nullptr, nullptr, target.c_str()));

    if (blocker == "folder is a file") {
        QCOMPARE(ReadAll(root + "/programs"), std::string("[Tallymarks]\r\nDDD=42\r\n"));
        QCOMPARE(QDir(root).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"programs"});
    } else {
        QVERIFY(QFileInfo(root + "/Tallymark.ini/inside").isDir());
        QCOMPARE(QDir(root).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Tallymark.ini"});
    }
    char buffer[10] = {};
    QCOMPARE(store_.GetString("Tallymarks", "DDD", "168", buffer, 10, target.c_str()), 3u);
    QCOMPARE(QByteArray(buffer), QByteArray("168"));
}

void ProfileStoreTest::unreadablePathReadsAsMissing()
{
    QVERIFY(QDir(directory_->path()).mkdir("Tallymark.ini"));
    QCOMPARE(store_.GetInt("WorkTime", "StartWorkTime", 450, path().c_str()), 450u);
    QCOMPARE(store_.GetInt("WorkTime", "StartWorkTime", 450, nullptr), 450u);
    char buffer[10] = {};
    QCOMPARE(store_.GetString("A", "k", "x", buffer, 10, nullptr), 1u);
    QCOMPARE(QByteArray(buffer), QByteArray("x"));
    QVERIFY(!store_.WriteString("A", "k", "1", nullptr));
    QVERIFY(!store_.WriteString(nullptr, "k", "1", path().c_str()));
}

void ProfileStoreTest::fifoNeitherHangsNorIsReplaced()
{
    QCOMPARE(::mkfifo(path().c_str(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(store_.GetInt("A", "k", 3, path().c_str()), 3u);
    QVERIFY(!store_.WriteString("A", "k", "1", path().c_str()));
    QVERIFY(timer.elapsed() < 5000);
    struct stat status {};
    QCOMPARE(::lstat(path().c_str(), &status), 0);
    QVERIFY(S_ISFIFO(status.st_mode));
}

void ProfileStoreTest::writeKeepsPermissions()
{
    WriteAll(QString::fromStdString(path()), "[A]\r\nk=1\r\n");
    QCOMPARE(::chmod(path().c_str(), 0640), 0);
    QVERIFY(store_.WriteString("A", "k", "2", path().c_str()));
    struct stat status {};
    QCOMPARE(::stat(path().c_str(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0640));

    // A new file gets the usual permissions of the process, not those of a private temporary.
    const mode_t mask = ::umask(022);
    const std::string fresh = QDir(directory_->path()).filePath("fresh.ini").toStdString();
    QVERIFY(store_.WriteString("A", "k", "1", fresh.c_str()));
    ::umask(mask);
    QCOMPARE(::stat(fresh.c_str(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0644));
}

void ProfileStoreTest::writeLeavesOnlyTheFile()
{
    for (int i = 0; i < 20; ++i)
        QVERIFY(store_.WriteString("A", "k", std::to_string(i).c_str(), path().c_str()));
    QCOMPARE(QDir(directory_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{"Tallymark.ini"});
    QCOMPARE(ReadAll(QString::fromStdString(path())), std::string("[A]\r\nk=19\r\n"));
}

void ProfileStoreTest::writeFollowsSymbolicLink()
{
    const QString real = directory_->path() + "/real.ini";
    WriteAll(real, "[A]\r\nk=1\r\n");
    QCOMPARE(::symlink(real.toStdString().c_str(), path().c_str()), 0);
    QVERIFY(store_.WriteString("A", "k", "2", path().c_str()));
    struct stat status {};
    QCOMPARE(::lstat(path().c_str(), &status), 0);
    QVERIFY(S_ISLNK(status.st_mode));
    QCOMPARE(ReadAll(real), std::string("[A]\r\nk=2\r\n"));
}

// A writer killed at any moment leaves the old file or the new one, never a mixture, and
// readers never see a save half done.
void ProfileStoreTest::killedWriterLeavesOldOrNewFile()
{
    const std::string values[] = {std::string(1 << 18, 'a'), std::string(1 << 18, 'b')};
    const auto fileWith = [](const std::string& value) { return "[A]\r\nk=" + value + "\r\n"; };
    QVERIFY(store_.WriteString("A", "k", values[0].c_str(), path().c_str()));

    std::mt19937 random(7);
    int changes = 0;
    std::string last = fileWith(values[0]);
    // At least 25 rounds, and more on a slow disk until the writer has got saves through.
    QElapsedTimer total;
    total.start();
    for (int round = 0; (round < 25 || changes == 0) && total.elapsed() < 60000; ++round) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            PortableProfileStore store;
            for (int i = 1;; ++i)
                store.WriteString("A", "k", values[i % 2].c_str(), path().c_str());
        }
        // Readers meanwhile see one whole file or the other, never one being written.
        QElapsedTimer timer;
        timer.start();
        const qint64 until = std::uniform_int_distribution<qint64>(20, 60)(random);
        bool whole = true;
        while (whole && timer.elapsed() < until) {
            const std::string seen = ReadAll(QString::fromStdString(path()));
            whole = seen == fileWith(values[0]) || seen == fileWith(values[1]);
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY2(whole, "a reader saw a file in the middle of its save");
        const std::string now = ReadAll(QString::fromStdString(path()));
        QVERIFY(now == fileWith(values[0]) || now == fileWith(values[1]));
        changes += now != last;
        last = now;
    }
    // The writer did get through whole saves between the kills.
    QVERIFY(changes > 0);
    // What the killed saves left beside the file goes with the next save.
    QVERIFY(store_.WriteString("A", "k", "done", path().c_str()));
    QCOMPARE(QDir(directory_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{"Tallymark.ini"});
}

void ProfileStoreTest::closedFolderRewritesFileInPlace_data()
{
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("fileMode"); // 0: no file
    QTest::addColumn<std::string>("value");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("sameInode");
    QTest::newRow("closed folder, open file, shorter text") << 0555 << 0666 << std::string("1") << true << true;
    QTest::newRow("closed folder, open file, longer text") << 0555 << 0666 << std::string(5000, '9') << true << true;
    QTest::newRow("closed folder, closed file") << 0555 << 0644 << std::string("1") << false << true;
    QTest::newRow("closed folder, no file") << 0555 << 0 << std::string("1") << false << true;
    QTest::newRow("open folder replaces in one step") << 0777 << 0666 << std::string("1") << true << false;
}

// An administrator opened up the settings file alone, as another user: the save goes into
// the file itself where no file can be made beside it, and only there.
void ProfileStoreTest::closedFolderRewritesFileInPlace()
{
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    QFETCH(std::string, value);
    QFETCH(bool, written);
    QFETCH(bool, sameInode);
    if (::geteuid() != 0)
        QSKIP("needs the superuser to become another user");
    const std::string before = "[A]\r\nk=123456\r\n; kept\r\nz=1\r\n";
    if (fileMode != 0) {
        WriteAll(QString::fromStdString(path()), before);
        QCOMPARE(::chmod(path().c_str(), static_cast<mode_t>(fileMode)), 0);
    }
    const ino_t inode = InodeOf(path());
    QCOMPARE(::chmod(directory_->path().toStdString().c_str(), static_cast<mode_t>(folderMode)), 0);

    const int status = ExitStatusAsNobody([&] {
        PortableProfileStore store;
        return store.WriteString("A", "k", value.c_str(), path().c_str());
    });
    ::chmod(directory_->path().toStdString().c_str(), 0700);
    QCOMPARE(status, written ? 0 : 1);
    const std::string expected = written ? "[A]\r\nk=" + value + "\r\n; kept\r\nz=1\r\n" : before;
    QCOMPARE(ReadAll(QString::fromStdString(path())), fileMode != 0 ? expected : std::string("<missing>"));
    QCOMPARE(InodeOf(path()) == inode, sameInode);
    QCOMPARE(QDir(directory_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             fileMode != 0 ? QStringList{"Tallymark.ini"} : QStringList{});
}

void ProfileStoreTest::staleTemporariesRemoved_data()
{
    // In the names, DEAD stands for an id above any system's pid_max, SELF for this process,
    // and 1 runs always.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("removed");
    QTest::newRow("ended save's first name") << "Tallymark.ini.tmpDEAD-0" << "file" << true;
    QTest::newRow("ended save's later name") << "Tallymark.ini.tmpDEAD-17" << "file" << true;
    QTest::newRow("running process's") << "Tallymark.ini.tmp1-0" << "file" << false;
    QTest::newRow("this process's own") << "Tallymark.ini.tmpSELF-3" << "file" << false;
    QTest::newRow("no number after the id") << "Tallymark.ini.tmpDEAD" << "file" << false;
    QTest::newRow("text after the number") << "Tallymark.ini.tmpDEAD-0x" << "file" << false;
    QTest::newRow("leading zero") << "Tallymark.ini.tmp0DEAD-0" << "file" << false;
    QTest::newRow("id 0") << "Tallymark.ini.tmp0-0" << "file" << false;
    QTest::newRow("another file's") << "Other.ini.tmpDEAD-0" << "file" << false;
    QTest::newRow("name in other case") << "tallymark.ini.tmpDEAD-0" << "file" << false;
    QTest::newRow("symbolic link") << "Tallymark.ini.tmpDEAD-0" << "link" << false;
    QTest::newRow("folder") << "Tallymark.ini.tmpDEAD-0" << "folder" << false;
}

void ProfileStoreTest::staleTemporariesRemoved()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, removed);
    name.replace("DEAD", "2147483647").replace("SELF", QString::number(::getpid()));
    const QString entry = directory_->path() + "/" + name;
    const QString outside = directory_->path() + "/outside";
    WriteAll(outside, "keep");
    if (kind == "file")
        WriteAll(entry, "half a save");
    else if (kind == "link")
        QVERIFY(QFile::link(outside, entry));
    else
        QVERIFY(QDir(directory_->path()).mkdir(name));

    QVERIFY(store_.WriteString("A", "k", "1", path().c_str()));
    QCOMPARE(InodeOf(entry.toStdString()) == 0, removed);
    QCOMPARE(ReadAll(outside), std::string("keep"));
}

void ProfileStoreTest::megabyteLine()
{
    const std::string digits(1 << 20, '7');
    const std::string content = "[A]\r\nk=" + digits + "\r\n; " + std::string(1 << 20, 'x') + "\r\nj=1\r\n";
    WriteAll(QString::fromStdString(path()), content);

    char buffer[10] = {};
    QCOMPARE(store_.GetString("A", "k", "", buffer, 10, path().c_str()), 9u);
    QCOMPARE(QByteArray(buffer), QByteArray("777777777"));
    // 7...7 (n digits) = 7 (10^n - 1) / 9; modulo 2^32 computed step by step as the reader does.
    std::uint32_t wrapped = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        wrapped = wrapped * 10 + 7;
    QCOMPARE(store_.GetInt("A", "k", 0, path().c_str()), wrapped);
    QVERIFY(store_.WriteString("A", "j", "2", path().c_str()));
    QCOMPARE(ReadAll(QString::fromStdString(path())), content.substr(0, content.size() - 3) + "2\r\n");
}

void ProfileStoreTest::tenMegabyteFile()
{
    std::string content = "[Filler]\r\n";
    for (int i = 0; content.size() < 10'000'000; ++i)
        content += "key" + std::to_string(i) + "=" + std::string(90, 'v') + "\r\n";
    content += "[Tallymarks]\r\nDDD=42\r\n";
    WriteAll(QString::fromStdString(path()), content);

    QElapsedTimer timer;
    timer.start();
    char buffer[10] = {};
    QCOMPARE(store_.GetString("Tallymarks", "DDD", "168", buffer, 10, path().c_str()), 2u);
    const qint64 readTime = timer.restart();
    QVERIFY(store_.WriteString("Tallymarks", "DownCount", "1", path().c_str()));
    const qint64 writeTime = timer.elapsed();
    qInfo("10 MB file: read %lld ms, write %lld ms", readTime, writeTime);
    QCOMPARE(ReadAll(QString::fromStdString(path())), content + "DownCount=1\r\n");
    QVERIFY(readTime < 2000 && writeTime < 5000);
}

// Random files built from the bytes that matter to the format: a write changes the value
// it sets and no other value the file holds.
void ProfileStoreTest::randomContentKeepsOtherValues()
{
    static constexpr std::string_view Alphabet = "[]=;\r\n \t\"'\0ABab\x81\x40\xEF\xBB\xBF"sv;
    static const char* const Names[] = {"A", "a", "B", "", " A", "AB"};
    static const char* const Values[] = {"1", "", "x y", "\x81\x40", "=", "[A]", ";", "0x10"};
    std::mt19937 random(20261208);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };

    for (int round = 0; round < 400; ++round) {
        std::string content(pick(120), '\0');
        for (char& c : content)
            c = Alphabet[pick(Alphabet.size())];
        WriteAll(QString::fromStdString(path()), content);

        const char* section = Names[pick(std::size(Names))];
        const char* key = Names[pick(std::size(Names))];
        const char* value = Values[pick(std::size(Values))];
        const auto lookup = [&](const char* s, const char* k) {
            char buffer[64] = {};
            const std::uint32_t count = store_.GetString(s, k, "<none>", buffer, sizeof buffer, path().c_str());
            return std::string(buffer, count);
        };
        std::map<std::pair<std::string, std::string>, std::string> before;
        for (const char* s : Names)
            for (const char* k : Names)
                before[{s, k}] = lookup(s, k);

        QVERIFY2(store_.WriteString(section, key, value, path().c_str()), Printable(content).constData());
        const auto sameName = [](const char* a, const char* b) {
            return QByteArray(a).trimmed().toLower() == QByteArray(b).trimmed().toLower();
        };
        for (const char* s : Names) {
            for (const char* k : Names) {
                const bool written = sameName(s, section) && sameName(k, key);
                QVERIFY2(lookup(s, k) == (written ? std::string(value) : before[{s, k}]),
                         Printable(content) + " set " + section + "/" + key + " read " + s + "/" + k);
            }
        }
    }
}

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "test_profile_store.moc"
