// The portable profile store's file handling: failed writes, one-step replacement,
// permissions, links, and files that are large, odd or random.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
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
