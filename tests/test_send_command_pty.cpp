// tallymark-send itself, run as a scheduler runs it: copied into a folder of its own with the
// settings file and ports/COMn links to pseudo-terminals, on a free line and a held one.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <optional>

#include "support/FileContent.h"
#include "support/LiveUpdate.h"
#include "support/OtherProgram.h"
#include "support/PseudoTerminal.h"

using namespace std::chrono_literals;
using tallymark::testing::CheckLiveUpdate;
using tallymark::testing::OtherProgram;
using tallymark::testing::PseudoTerminal;
using tallymark::testing::StoredFile;
using tallymark::testing::StoredSettings;

namespace {

struct Exit {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// The program in a folder of its own whose only port is COM3, leading to `line`.
Exit RunCommand(const PseudoTerminal& line, const QStringList& arguments, const QString& folder)
{
    tallymark::testing::LinkNoPorts(folder.toStdString());
    tallymark::testing::LinkPort(folder.toStdString(), 3, line.DevicePath());
    QProcess process;
    process.start(folder + "/tallymark-send", arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

std::vector<std::uint8_t> FromHex(const QByteArray& line)
{
    const QByteArray bytes = QByteArray::fromHex(line);
    return {bytes.begin(), bytes.end()};
}

} // namespace

class TestSendCommandPty : public QObject {
    Q_OBJECT

private slots:
    void runs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("held");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");   // the start of the one line on standard error
        QTest::addColumn<int>("index");     // the update on the line, or printed; -1 for none
        QTest::addColumn<bool>("printed");  // the update is printed instead of sent
        QTest::newRow("--clock, port found") << QStringList{"--clock"} << false << 0 << "" << 0 << false;
        QTest::newRow("--all, port named") << QStringList{"--all", "--port", "COM3"} << false << 0 << "" << 1 << false;
        QTest::newRow("dry run on a held port") << QStringList{"--clock", "--dry-run"} << true << 0 << "" << 0 << true;
        QTest::newRow("held, port named")
            << QStringList{"--port", "COM3", "--clock"} << true << 4
            << "tallymark-send: COM3 is in use by another program or does not exist (" << -1 << false;
        QTest::newRow("held, no port found")
            << QStringList{"--clock"} << true << 3 << "tallymark-send: no serial port from COM1 to COM32 opens" << -1
            << false;
        QTest::newRow("missing port") << QStringList{"--all", "--port", "COM4"} << false << 4
                                      << "tallymark-send: COM4 is in use by another program or does not exist ("
                                      << -1 << false;
    }

    void runs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, held);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(int, index);
        QFETCH(bool, printed);

        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(TALLYMARK_SEND_PROGRAM), folder.filePath("tallymark-send")));
        tallymark::testing::WriteAll(folder.filePath("Tallymark.ini"), StoredFile.toStdString());
        PseudoTerminal line;
        std::optional<OtherProgram> other;
        if (held) {
            other.emplace(line.DevicePath(), OtherProgram::Hold::Flock);
            QVERIFY(other->Holds());
        }

        const Exit exit = RunCommand(line, arguments, folder.path());
        QCOMPARE(exit.code, code);
        QVERIFY2(exit.err.startsWith(err.toUtf8()) && exit.err.count('\n') == (err.isEmpty() ? 0 : 1), exit.err);
        const std::vector<std::uint8_t> sent = line.ReadUntilQuiet(200ms);
        if (index >= 0)
            CheckLiveUpdate(printed ? FromHex(exit.out) : sent, StoredSettings, static_cast<std::int16_t>(index));
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(sent.size(), std::size_t(index >= 0 && !printed ? 15 : 0));
        QCOMPARE(QByteArray::fromStdString(tallymark::testing::ReadAll(folder.filePath("Tallymark.ini"))), StoredFile);
    }
};

QTEST_GUILESS_MAIN(TestSendCommandPty)
#include "test_send_command_pty.moc"
