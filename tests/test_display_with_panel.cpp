// The whole loop without hardware: the panel's window with its real serial component sends
// through the COM link that tallymark-display publishes, and the display logs what it got.

#include <QtTest>

#include <QPushButton>


#include "link/qt/QtSerialPort.h"
#include "tests/support/PseudoTerminal.h"
#include "settings/SettingsFile.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageBoxes.h"

using namespace tallymark;

namespace {

class RecordingBoxes : public MessageBoxes {
public:
    QStringList shown;
    void Warning(QWidget*, const QString& text, const QString& title) override { shown << title + ": " + text; }
    bool AskYesNo(QWidget*, const QString& text, const QString& title) override
    {
        shown << title + ": " + text;
        return true;
    }
};

// tallymark-display with --log, publishing its link in the panel's folder.
class DisplayProgram {
public:
    DisplayProgram(const QString& panelFolder, int port)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(environment);
        m_process.start(qEnvironmentVariable("TALLYMARK_DISPLAY"),
                        // A loaded test machine may pause the panel between the greeting and
                        // the record for longer than a real line's few character times.
                        {"--panel-dir", panelFolder, "--com", QString::number(port), "--log", "--pause-ms", "500"});
    }
    ~DisplayProgram()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

    QString nextLine()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < 10000 && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(50);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    // The key=value fields of an update line, up to the bytes.
    QMap<QString, QString> nextUpdate()
    {
        QMap<QString, QString> fields;
        const QString line = nextLine();
        if (!line.startsWith("update "))
            return {{"line", line}};
        for (const QString& word : line.section(" hex=", 0, 0).split(' ').mid(1))
            fields.insert(word.section('=', 0, 0), word.section('=', 1));
        return fields;
    }

private:
    QProcess m_process;
};

// Seconds between two clock texts, across midnight as well.
int SecondsApart(const QString& a, const QString& b)
{
    const int difference = std::abs(QTime::fromString(a, "HH:mm:ss").secsTo(QTime::fromString(b, "HH:mm:ss")));
    return std::min(difference, 86400 - difference);
}

} // namespace

class DisplayWithPanelTest : public QObject {
    Q_OBJECT

private slots:
    void displayShowsWhatThePanelSends_data();
    void displayShowsWhatThePanelSends();
};

void DisplayWithPanelTest::displayShowsWhatThePanelSends_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("countDown");
    QTest::addColumn<QString>("brightness");
    QTest::addColumn<int>("workSwitch");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    // What the display logs for them.
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QString>("endText");

    QTest::newRow("counting down in a day window") << "999" << true << "5" << 1 << 420 << 1140 << "down" << "on"
                                                   << "07:00" << "19:00";
    QTest::newRow("counting up, switch off") << "168" << false << "8" << 0 << 510 << 1035 << "up" << "off" << "08:30"
                                             << "17:15";
    QTest::newRow("night window, dimmest") << "0" << false << "1" << 1 << 1320 << 360 << "up" << "on" << "22:00"
                                           << "06:00";
    QTest::newRow("last minutes of the day") << "42" << true << "4" << 1 << 1439 << 1439 << "down" << "on" << "23:59"
                                             << "23:59";
    // A greyed switch drops the start hour from the record; the start minute still comes.
    QTest::newRow("greyed switch") << "7" << false << "2" << 2 << 615 << 700 << "up" << "off" << "00:15" << "11:40";
}

void DisplayWithPanelTest::displayShowsWhatThePanelSends()
{
    QFETCH(QString, count);
    QFETCH(bool, countDown);
    QFETCH(QString, brightness);
    QFETCH(int, workSwitch);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, direction);
    QFETCH(QString, work);
    QFETCH(QString, startText);
    QFETCH(QString, endText);

    QTemporaryDir folder;
    tallymark::testing::LinkNoPorts(folder.path().toStdString());

    DisplayProgram display(folder.path(), 9);
    QVERIFY(display.nextLine().startsWith("ready port=COM9 "));

    QtSerialPort port(folder.path().toStdString());
    const auto store = SystemProfileStore();
    SettingsFile settings(*store, [&] { return folder.path().toStdString(); });
    RecordingBoxes boxes;
    MainWindow window(port, settings, boxes);
    window.Form().Form_Load();
    window.show();
    QCOMPARE(QString::fromStdString(window.Text(Control::ComSele)), QString("COM9"));

    window.Form().SetControlText(Control::TxtDJS, count.toStdString());
    window.Form().SetCountDown(countDown);
    window.Form().SetControlText(Control::ComBright, brightness.toStdString());
    window.Form().SetSwitch(static_cast<std::int16_t>(workSwitch));
    window.Form().SetSpinner(Control::VScSTime, static_cast<std::int16_t>(start));
    window.Form().SetSpinner(Control::VScETime, static_cast<std::int16_t>(end));

    // The settings button, then the current-time button, each clicked as an operator does.
    for (const char* button : {"CmdSndClk_1", "CmdSndClk_0"}) {
        auto* send = window.findChild<QPushButton*>(button);
        QVERIFY(send);
        QTest::mouseClick(send, Qt::LeftButton);
        QVERIFY2(boxes.shown.isEmpty(), qPrintable(boxes.shown.join('\n')));

        const auto fields = display.nextUpdate();
        QVERIFY2(fields.contains("time"), qPrintable(fields.value("line")));
        QVERIFY(SecondsApart(fields.value("time"), QTime::currentTime().toString("HH:mm:ss")) <= 2);
        QCOMPARE(fields.value("count"), QString(button[10] == '1' ? count : "keep"));
        QCOMPARE(fields.value("direction"), direction);
        QCOMPARE(fields.value("brightness"), brightness);
        QCOMPARE(fields.value("work"), work);
        QCOMPARE(fields.value("start"), startText);
        QCOMPARE(fields.value("end"), endText);
    }
    QVERIFY(!port.PortOpen());
}

QTEST_MAIN(DisplayWithPanelTest)
#include "test_display_with_panel.moc"
