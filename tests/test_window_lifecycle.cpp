// The window over its life: what the load leaves on screen, the clock, and what every close
// request does, also while a send waits for its bytes to leave.

#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <climits>
#include <csignal>

#include "WindowFixture.h"
#include "support/FileContent.h"
#include "support/XSession.h"

using namespace tallymark;
using tallymark::testing::WindowFixture;

namespace {

const QString Question = QStringLiteral("現在データ送信中！今閉じたら字幕表示にエラーが発生する可能性があります。閉じますか？|警告");

QStringList ListOf(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// Asks the window to close the way the operator does: the close box or CmdExit; or ends the
// session, as a log-off or a signal to end does, after which the program ends.
void RequestClose(WindowFixture& f, const QString& how)
{
    if (how == QLatin1String("CmdExit"))
        QTest::mouseClick(f.Find("CmdExit"), Qt::LeftButton);
    else if (how == QLatin1String("session end"))
        f.form().SessionChanged(SessionEvent::Ends);
    else
        f.window.close();
}

} // namespace

class TestWindowLifecycle : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutFile();
    void loadOrder_data();
    void loadOrder();
    void brokenSettingsFile();
    void portScanAtLoad();
    void clockTicks_data();
    void clockTicks();
    void closeWhenIdle_data();
    void closeWhenIdle();
    void closeDuringSendAnsweredNo_data();
    void closeDuringSendAnsweredNo();
    void closeDuringSendAnsweredYes_data();
    void closeDuringSendAnsweredYes();
    void secondSendDuringSendIsRefused();
    void drainWaitSleepsBetweenPolls();
    void sessionEndSaves_data();
    void sessionEndSaves();
};

void TestWindowLifecycle::firstStartWithoutFile()
{
    WindowFixture f;
    QVERIFY(f.Open());
    QCOMPARE(f.form().Settings().workTimeSwitch, 0);
    QCOMPARE(f.form().Settings().workStart, 450);
    QCOMPARE(f.Find<QLineEdit>("TxtSTime")->text(), QStringLiteral("07:30"));
    QCOMPARE(f.form().Settings().workEnd, 1200);
    QCOMPARE(f.Find<QLineEdit>("TxtETime")->text(), QStringLiteral("20:00"));
    QCOMPARE(f.Find<QLineEdit>("TxtDJS")->text(), QStringLiteral("168"));
    QVERIFY(f.Find<QRadioButton>("OptDeD")->isChecked());
    QVERIFY(!f.Find<QRadioButton>("OptInD")->isChecked());
    QCOMPARE(f.Find<QComboBox>("ComBright")->currentText(), QStringLiteral("5"));
    for (const char* name : {"TxtSTime", "TxtETime", "VScSTime", "VScETime"})
        QVERIFY2(!f.Find(name)->isEnabled(), name);

    f.window.close();
    QCOMPARE(f.IniLines(), QStringList({"[WorkTime]", "WorkTimeEnable=0", "StartWorkTime=450", "EndWorkTime=1200",
                                        "[Tallymarks]", "DDD=168", "DownCount=1", "[Bright]", "Bright=5"}));
}

void TestWindowLifecycle::loadOrder_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("workTime");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");

    // The switch equal to its value at creation still disables: the load runs it anyway.
    QTest::newRow("switch off as created") << QByteArray("[WorkTime]\nWorkTimeEnable=0\nStartWorkTime=420\nEndWorkTime=1140\n")
                                           << 0 << "07:00" << "19:00";
    QTest::newRow("switch on") << QByteArray("[WorkTime]\nWorkTimeEnable=1\nStartWorkTime=0\nEndWorkTime=1439\n")
                               << 1 << "00:00" << "23:59";
    QTest::newRow("switch greyed") << QByteArray("[WorkTime]\nWorkTimeEnable=2\nStartWorkTime=65\nEndWorkTime=65\n")
                                   << 2 << "01:05" << "01:05";
}

void TestWindowLifecycle::loadOrder()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, workTime);
    QFETCH(QString, start);
    QFETCH(QString, end);

    WindowFixture f;
    f.WriteIni(ini);
    f.form().Form_Load();
    // All of it happens before the window is first shown.
    QVERIFY(!f.window.isVisible());
    QCOMPARE(f.form().Settings().workTimeSwitch, workTime);
    QCOMPARE(f.Find<QLineEdit>("TxtSTime")->text(), start);
    QCOMPARE(f.Find<QLineEdit>("TxtETime")->text(), end);
    for (const char* name : {"TxtSTime", "TxtETime", "VScSTime", "VScETime"})
        QCOMPARE(f.Find(name)->isEnabled(), workTime != 0);
    QCOMPARE(f.Find<QLineEdit>("TxtTime")->text(), QStringLiteral("07:00:00")); // no tick yet
}

void TestWindowLifecycle::brokenSettingsFile()
{
    WindowFixture f;
    QByteArray junk("[WorkTime\n=\n\0\0\xff\xfe[[]]\nWorkTimeEnable=99999999999\nStartWorkTime=-5\n", 60);
    junk += "[Tallymarks]\nDDD=\xe3\x81\x82\xe3\x81\x84\nDownCount=abc\n[Bright]\nBright=-2147483648\n";
    f.WriteIni(junk);
    QVERIFY(f.Open());
    // Whatever was read, every control holds a value it can hold, and closing works.
    QVERIFY(f.form().Settings().workTimeSwitch >= 0 && f.form().Settings().workTimeSwitch <= 2);
    QVERIFY(f.form().Settings().workStart >= 0 && f.form().Settings().workStart <= 1439);
    QVERIFY(f.Find<QLineEdit>("TxtDJS")->text().size() <= 3);
    f.window.close();
    QVERIFY(!f.window.isVisible());
}

void TestWindowLifecycle::portScanAtLoad()
{
    WindowFixture f;
    f.port.present = {1, 3, 7};
    f.form().Form_Load();
    auto* ports = f.Find<QComboBox>("ComSele");
    QCOMPARE(ListOf(ports), QStringList({"COM1", "COM3", "COM7"}));
    QCOMPARE(ports->currentText(), QStringLiteral("COM7"));
    QVERIFY(!f.port.PortOpen());

    WindowFixture none;
    none.port.present = {};
    none.form().Form_Load();
    QCOMPARE(none.Find<QComboBox>("ComSele")->count(), 0);
    QCOMPARE(none.window.Text(Control::ComSele), std::string());
}

void TestWindowLifecycle::clockTicks_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("shown");

    QTest::newRow("afternoon") << 13 << 4 << 9 << ":" << "13:04:09";
    QTest::newRow("just after midnight") << 0 << 0 << 0 << ":" << "00:00:00";
    QTest::newRow("last second") << 23 << 59 << 59 << ":" << "23:59:59";
    QTest::newRow("the system's separator") << 13 << 4 << 9 << "." << "13.04.09";
}

void TestWindowLifecycle::clockTicks()
{
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(QString, separator);
    QFETCH(QString, shown);

    WindowFixture f;
    f.now = {hour, minute, second};
    f.timeSeparator = separator.toStdString();
    QVERIFY(f.Open());
    auto* clock = f.Find<QLineEdit>("TxtTime");
    QTRY_COMPARE_WITH_TIMEOUT(clock->text(), shown, 1000);
    f.now = {hour, minute, (second + 1) % 60};
    QTRY_VERIFY_WITH_TIMEOUT(clock->text() != shown, 1000);
}

void TestWindowLifecycle::closeWhenIdle_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close box";
    QTest::newRow("CmdExit") << "CmdExit";
}

void TestWindowLifecycle::closeWhenIdle()
{
    QFETCH(QString, how);
    WindowFixture f;
    QVERIFY(f.Open());
    f.form().SetControlText(Control::TxtDJS, "42");
    auto* bright = f.Find<QComboBox>("ComBright");
    bright->setFocus();
    bright->lineEdit()->selectAll();
    QTest::keyClicks(bright, QStringLiteral("7x")); // not in the list, saved as typed
    RequestClose(f, how);
    QVERIFY(!f.window.isVisible());
    QVERIFY(f.boxes.shown.isEmpty());
    const QStringList ini = f.IniLines();
    QVERIFY(ini.contains(QStringLiteral("DDD=42")));
    QVERIFY(ini.contains(QStringLiteral("Bright=7x")));
}

void TestWindowLifecycle::closeDuringSendAnsweredNo_data()
{
    closeWhenIdle_data();
}

void TestWindowLifecycle::closeDuringSendAnsweredNo()
{
    QFETCH(QString, how);
    WindowFixture f;
    f.port.present = {2};
    QVERIFY(f.Open());
    f.port.sent.clear();
    f.port.drainPolls = INT_MAX; // the bytes leave only when the test says so

    f.boxes.answerYes = false;
    bool stillOpenAfterNo = false;
    QStringList iniAfterNo;
    QTimer::singleShot(20, &f.window, [&] {
        f.form().SetControlText(Control::TxtDJS, "77");
        RequestClose(f, how);
        stillOpenAfterNo = f.window.isVisible();
        iniAfterNo = f.IniLines();
        f.port.drainPolls = 3;
    });
    QTest::mouseClick(f.Find("CmdSndClk_1"), Qt::LeftButton);

    QCOMPARE(f.boxes.shown, QStringList{Question});
    QVERIFY(stillOpenAfterNo);
    QVERIFY(iniAfterNo.contains(QStringLiteral("DDD=77")));
    // The send went on to its end: all bytes, the progress reset, the port closed.
    QCOMPARE(f.port.sent.size(), std::size_t(15));
    QCOMPARE(f.Find<QProgressBar>("ProgressBar1")->value(), 0);
    QVERIFY(!f.port.PortOpen());
    QVERIFY(f.window.isVisible());

    // Afterwards a close asks nothing.
    f.window.close();
    QCOMPARE(f.boxes.shown.size(), 1);
    QVERIFY(!f.window.isVisible());
}

void TestWindowLifecycle::closeDuringSendAnsweredYes_data()
{
    closeWhenIdle_data();
    QTest::newRow("the session ends: no question, as Yes") << "session end";
}

void TestWindowLifecycle::closeDuringSendAnsweredYes()
{
    QFETCH(QString, how);
    WindowFixture f;
    f.port.present = {2};
    QVERIFY(f.Open());
    f.port.sent.clear();
    f.port.drainPolls = INT_MAX; // never drains by itself
    int pollsAfterClose = 0;     // a wait that went on would poll on; stop it after a while
    bool closed = false;
    f.port.onCount = [&] {
        if (closed && ++pollsAfterClose > 200)
            f.port.drainPolls = 0;
    };
    const bool sessionEnd = how == QLatin1String("session end");

    f.boxes.answerYes = true;
    QTimer::singleShot(20, &f.window, [&] {
        f.form().SetControlText(Control::TxtDJS, "55");
        RequestClose(f, how);
        closed = true;
    });
    QElapsedTimer waited;
    waited.start();
    QTest::mouseClick(f.Find("CmdSndClk_1"), Qt::LeftButton);

    QCOMPARE(pollsAfterClose, 0);
    QVERIFY2(waited.elapsed() < 5000, "the send's wait did not end");
    QCOMPARE(f.boxes.shown, sessionEnd ? QStringList() : QStringList{Question});
    QCOMPARE(f.window.isVisible(), sessionEnd); // the program, not the window, ends then
    QVERIFY(f.IniLines().contains(QStringLiteral("DDD=55")));
    // The wait ended at once and the click handler closed the port; nothing more was sent
    // or shown, and the progress bar keeps the step it was at.
    QCOMPARE(f.port.log.back(), std::string("PortOpen=0"));
    QVERIFY(!f.port.PortOpen());
    QCOMPARE(f.port.sent.size(), std::size_t(15));
    QCOMPARE(f.Find<QProgressBar>("ProgressBar1")->value(), 2);
}

void TestWindowLifecycle::secondSendDuringSendIsRefused()
{
    WindowFixture f;
    f.port.present = {2};
    QVERIFY(f.Open());
    f.port.sent.clear();
    f.port.drainPolls = INT_MAX;
    QTimer::singleShot(20, &f.window, [&] {
        QTest::mouseClick(f.Find("CmdSndClk_0"), Qt::LeftButton);
        f.port.drainPolls = 2;
    });
    QTest::mouseClick(f.Find("CmdSndClk_1"), Qt::LeftButton);
    QCOMPARE(f.boxes.shown, QStringList{QStringLiteral("現在送信中。|少待")});
    QCOMPARE(f.port.sent.size(), std::size_t(15));
    QVERIFY(!f.port.PortOpen());
}

void TestWindowLifecycle::drainWaitSleepsBetweenPolls()
{
    WindowFixture f;
    f.port.present = {2};
    QVERIFY(f.Open());
    f.port.drainPolls = INT_MAX;
    int polls = 0;
    f.port.onCount = [&] { ++polls; };
    QTimer::singleShot(200, &f.window, [&] { f.port.drainPolls = 0; });
    QElapsedTimer waited;
    waited.start();
    QTest::mouseClick(f.Find("CmdSndClk_0"), Qt::LeftButton);
    // About a millisecond between polls: a loop that spun would poll a hundred times more.
    QVERIFY(waited.elapsed() >= 200);
    QVERIFY2(polls >= 10 && polls <= 2 * waited.elapsed(), qPrintable(QString::number(polls)));
    QVERIFY(!f.port.PortOpen());
}

// The program itself, on an X server of its own, with a settings file that holds only the
// operator's notes: the end of the session saves the six values after them.
void TestWindowLifecycle::sessionEndSaves_data()
{
    QTest::addColumn<int>("signalNumber"); // 0: the X server is killed
    QTest::addColumn<int>("exitCode");
    QTest::newRow("SIGTERM") << int(SIGTERM) << 0;
    QTest::newRow("SIGHUP") << int(SIGHUP) << 0;
    QTest::newRow("SIGINT") << int(SIGINT) << 0;
    QTest::newRow("the X server killed") << 0 << 1; // Qt ends the program through exit(1)
}

void TestWindowLifecycle::sessionEndSaves()
{
    QFETCH(int, signalNumber);
    QTemporaryDir folder;
    const QString program = folder.filePath("tallymark"), ini = folder.filePath("Tallymark.ini");
    QVERIFY(QFile::copy(QStringLiteral(TALLYMARK_PROGRAM), program));
    testing::WriteAll(ini, "; the operator's notes\r\n");
    QProcess server, panel;
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
    QVERIFY(server.waitForReadyRead(10000));
    const QByteArray display = ":" + server.readAllStandardOutput().trimmed(), ownDisplay = qgetenv("DISPLAY");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("XDG_CONFIG_HOME", folder.filePath("config")); // never the user's own file
    panel.setProcessEnvironment(environment);
    panel.start(program);
    qputenv("DISPLAY", display);
    QVERIFY(testing::XSession().WaitForWindow(QString::fromUtf8(WindowTitle.data()), std::chrono::seconds(20)));
    qputenv("DISPLAY", ownDisplay);
    if (signalNumber)
        ::kill(static_cast<pid_t>(panel.processId()), signalNumber);
    else
        server.kill();
    QVERIFY(panel.waitForFinished(20000));
    server.kill();
    server.waitForFinished();
    QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
    QTEST(panel.exitCode(), "exitCode");
    QCOMPARE(testing::ReadAll(ini), std::string("; the operator's notes\r\n[WorkTime]\r\nWorkTimeEnable=0\r\nStartWorkTime=450\r\n"
                                                "EndWorkTime=1200\r\n[Tallymarks]\r\nDDD=168\r\nDownCount=1\r\n"
                                                "[Bright]\r\nBright=5\r\n"));
}

QTEST_MAIN(TestWindowLifecycle)
#include "test_window_lifecycle.moc"
