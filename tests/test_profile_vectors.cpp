// The conformance table against the platform's profile store: the portable one here, the
// kernel32 functions themselves on Windows.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

#include "ProfileVectors.h"
#include "settings/ProfileStore.h"
#include "support/FileContent.h"

using namespace tallymark;
using tallymark::testing::ReadAll;
using tallymark::testing::WriteAll;
using tallymark::testing::Printable;
using namespace tallymark::vectors;

namespace {

// Outcomes the portable store settles where Windows leaves them open are only checked here.
bool Applies(Source source)
{
#ifdef _WIN32
    return source != Source::Portable;
#else
    Q_UNUSED(source);
    return true;
#endif
}

} // namespace

class ProfileVectorsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void getInt_data();
    void getInt();
    void getString_data();
    void getString();
    void writeString_data();
    void writeString();

private:
    std::string path() const { return QDir::toNativeSeparators(QDir(directory_->path()).filePath("Tallymark.ini")).toStdString(); }

    std::unique_ptr<QTemporaryDir> directory_;
    std::unique_ptr<ProfileStore> store_ = SystemProfileStore();
};

void ProfileVectorsTest::init()
{
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
}

void ProfileVectorsTest::getInt_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(IntVectors)); ++i)
        QTest::newRow(IntVectors[i].name) << i;
}

void ProfileVectorsTest::getInt()
{
    QFETCH(int, row);
    const IntVector& v = IntVectors[row];
    if (!Applies(v.source))
        QSKIP("outcome of the portable store");
    if (v.fileExists)
        WriteAll(QString::fromStdString(path()), v.before);
    QCOMPARE(store_->GetInt(v.section, v.key, v.defaultValue, path().c_str()), v.expected);
    QCOMPARE(Printable(ReadAll(QString::fromStdString(path()))), Printable(v.fileExists ? v.before : "<missing>"));
}

void ProfileVectorsTest::getString_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(StringVectors)); ++i)
        QTest::newRow(StringVectors[i].name) << i;
}

void ProfileVectorsTest::getString()
{
    QFETCH(int, row);
    const StringVector& v = StringVectors[row];
    if (!Applies(v.source))
        QSKIP("outcome of the portable store");
    if (v.fileExists)
        WriteAll(QString::fromStdString(path()), v.before);
    // Guard bytes show any write past what the call should touch, inside the buffer or after it.
    constexpr char Guard = '\x7F';
    std::string buffer(v.size + 8, Guard);
    const std::uint32_t count = store_->GetString(v.section, v.key, v.defaultText, buffer.data(), v.size, path().c_str());
    QCOMPARE(count, v.expected);
    std::string expected(v.written);
    expected.resize(buffer.size(), Guard);
    QCOMPARE(Printable(buffer), Printable(expected));
}

void ProfileVectorsTest::writeString_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(WriteVectors)); ++i)
        QTest::newRow(WriteVectors[i].name) << i;
}

void ProfileVectorsTest::writeString()
{
    QFETCH(int, row);
    const WriteVector& v = WriteVectors[row];
    if (!Applies(v.source))
        QSKIP("outcome of the portable store");
    const QString file = QString::fromStdString(path());
    if (v.fileExists)
        WriteAll(file, v.before);
    QCOMPARE(store_->WriteString(v.section, v.key, v.value, path().c_str()), v.expected);
    QCOMPARE(Printable(ReadAll(file)), Printable(v.expected || v.fileExists ? v.after : "<missing>"));

    // What was written reads back, unless blanks or quotes at its ends are meant to go.
    if (v.expected && v.key && v.value) {
        const std::string_view value = v.value;
        if (!value.empty() && (value.front() == ' ' || value.front() == '"' || value.back() == ' '))
            return;
        char buffer[64] = {};
        store_->GetString(v.section, v.key, "<default>", buffer, sizeof buffer, path().c_str());
        QCOMPARE(QByteArray(buffer), QByteArray(v.value));
    }
}

QTEST_GUILESS_MAIN(ProfileVectorsTest)
#include "test_profile_vectors.moc"
