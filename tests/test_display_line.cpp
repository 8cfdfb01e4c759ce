// The display's end of the line: the pseudo-terminal a panel writes to, and the COM link
// that publishes it.

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>

#include "display/PortLink.h"
#include "display/SerialLine.h"

namespace fs = std::filesystem;
using namespace tallymark::display;

namespace {

// Everything the line delivers within a short while.
QByteArray ReadAll(int fd, int expected)
{
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < expected && timer.elapsed() < 5000) {
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count > 0)
            bytes.append(buffer, count);
    }
    return bytes;
}

void Touch(const fs::path& path)
{
    QFile file(QString::fromStdString(path.string()));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class DisplayLineTest : public QObject {
    Q_OBJECT

private slots:
    void passesEveryByteUnchanged();
    void staysUpBetweenSends();
    void terminalSideIs9600Baud8N1();
    void takesTheFirstFreePort_data();
    void takesTheFirstFreePort();
    void refusesATakenOrInvalidPort_data();
    void refusesATakenOrInvalidPort();
    void failsWhenEveryPortIsTaken();
    void removesOnlyItsOwnLink();
};

void DisplayLineTest::passesEveryByteUnchanged()
{
    SerialLine line = SerialLine::CreatePseudoTerminal();
    const int sender = ::open(line.SenderPath().c_str(), O_WRONLY | O_NOCTTY);
    QVERIFY(sender >= 0);
    // Bytes a terminal would otherwise turn into line ends, signals or flow control.
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    QCOMPARE(::write(sender, all.constData(), static_cast<size_t>(all.size())), ssize_t(all.size()));
    ::close(sender);
    QCOMPARE(ReadAll(line.ReadDescriptor(), 256).toHex(), all.toHex());
}

void DisplayLineTest::staysUpBetweenSends()
{
    SerialLine line = SerialLine::CreatePseudoTerminal();
    for (int send = 0; send < 3; ++send) {
        const int sender = ::open(line.SenderPath().c_str(), O_WRONLY | O_NOCTTY);
        QVERIFY(sender >= 0);
        QCOMPARE(::write(sender, "Hello", 5), ssize_t(5));
        ::close(sender);
        QCOMPARE(ReadAll(line.ReadDescriptor(), 5), QByteArray("Hello"));
        // With the panel's port closed the line has nothing to read, and no hang-up either.
        char byte;
        QCOMPARE(::read(line.ReadDescriptor(), &byte, 1), ssize_t(-1));
        QCOMPARE(errno, EAGAIN);
    }
}

void DisplayLineTest::terminalSideIs9600Baud8N1()
{
    SerialLine line = SerialLine::CreatePseudoTerminal();
    const int terminal = ::open(line.SenderPath().c_str(), O_RDONLY | O_NOCTTY);
    QVERIFY(terminal >= 0);
    termios settings{};
    QCOMPARE(::tcgetattr(terminal, &settings), 0);
    ::close(terminal);
    QCOMPARE(::cfgetospeed(&settings), speed_t(B9600));
    QCOMPARE(::cfgetispeed(&settings), speed_t(B9600));
    QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(settings.c_cflag & (PARENB | CSTOPB), tcflag_t(0));
    QCOMPARE(settings.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(settings.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(0));
}

void DisplayLineTest::takesTheFirstFreePort_data()
{
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QStringList>("dangling");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty folder") << QStringList{} << QStringList{} << 1;
    QTest::newRow("COM1 taken") << QStringList{"COM1"} << QStringList{} << 2;
    QTest::newRow("a gap") << QStringList{"COM1", "COM2", "COM4"} << QStringList{} << 3;
    QTest::newRow("link left by a killed display") << QStringList{} << QStringList{"COM1"} << 1;
    QTest::newRow("other names do not count") << QStringList{"COM10", "com1", "COM01"} << QStringList{} << 1;
}

void DisplayLineTest::takesTheFirstFreePort()
{
    QFETCH(QStringList, taken);
    QFETCH(QStringList, dangling);
    QFETCH(int, expected);

    QTemporaryDir folder;
    const fs::path ports = fs::path(folder.path().toStdString()) / "ports";
    fs::create_directories(ports);
    for (const QString& name : taken)
        Touch(ports / name.toStdString());
    for (const QString& name : dangling)
        fs::create_symlink(ports / "gone", ports / name.toStdString());

    const fs::path target = fs::path(folder.path().toStdString()) / "line";
    Touch(target);
    PortLink link = PortLink::Publish(ports, target.string(), std::nullopt);
    QCOMPARE(link.Number(), expected);
    QCOMPARE(QString::fromStdString(link.PortName()), QString("COM%1").arg(expected));
    QCOMPARE(link.Path(), ports / ("COM" + std::to_string(expected)));
    QCOMPARE(fs::read_symlink(link.Path()), target);
    // What was there before is left as it was.
    for (const QString& name : taken)
        QVERIFY(fs::is_regular_file(ports / name.toStdString()));
}

void DisplayLineTest::refusesATakenOrInvalidPort_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("published");

    QTest::newRow("free") << 7 << true;
    QTest::newRow("taken") << 3 << false;
    QTest::newRow("highest") << 32 << true;
    QTest::newRow("above the panel's range") << 33 << false;
    QTest::newRow("zero") << 0 << false;
}

void DisplayLineTest::refusesATakenOrInvalidPort()
{
    QFETCH(int, number);
    QFETCH(bool, published);

    QTemporaryDir folder;
    // The folder does not exist yet: publishing creates it.
    const fs::path ports = fs::path(folder.path().toStdString()) / "ui" / "ports";
    const std::string target = "/dev/null";
    std::optional<PortLink> first;
    if (number == 3)
        first = PortLink::Publish(ports, target, 3);
    try {
        PortLink link = PortLink::Publish(ports, target, number);
        QVERIFY(published);
        QCOMPARE(link.Number(), number);
    } catch (const std::runtime_error&) {
        QVERIFY(!published);
    }
    if (first)
        QVERIFY(fs::is_symlink(first->Path()));
}

void DisplayLineTest::failsWhenEveryPortIsTaken()
{
    QTemporaryDir folder;
    const fs::path ports = fs::path(folder.path().toStdString());
    std::vector<PortLink> links;
    for (int n = 1; n <= 32; ++n)
        links.push_back(PortLink::Publish(ports, "/dev/null", std::nullopt));
    QCOMPARE(links.back().Number(), 32);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, PortLink::Publish(ports, "/dev/null", std::nullopt));
}

void DisplayLineTest::removesOnlyItsOwnLink()
{
    QTemporaryDir folder;
    const fs::path ports = fs::path(folder.path().toStdString());
    fs::path path;
    {
        PortLink link = PortLink::Publish(ports, "/dev/null", 5);
        path = link.Path();
        QVERIFY(fs::is_symlink(path));
    }
    QVERIFY(!fs::exists(fs::symlink_status(path)));

    // Another display has put its own link there meanwhile: it stays.
    PortLink link = PortLink::Publish(ports, "/dev/null", 5);
    fs::remove(link.Path());
    fs::create_symlink("/dev/zero", link.Path());
    link.Remove();
    QCOMPARE(fs::read_symlink(path), fs::path("/dev/zero"));
}

QTEST_GUILESS_MAIN(DisplayLineTest)
#include "test_display_line.moc"
