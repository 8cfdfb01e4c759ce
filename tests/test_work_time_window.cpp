// The work-time editor in the real window: typed times committed by moving the focus away,
// the spinners' arrows, and the switch that enables and disables both editors.

#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>

#include "WindowFixture.h"
#include "ui/qt/TimeSpinner.h"
#include "ui/WorkTimeEditor.h"

using namespace tallymark;
using tallymark::testing::WindowFixture;

namespace {

struct Editor {
    QLineEdit* box;
    TimeSpinner* spinner;
    Control spinnerId;
};

Editor EditorOf(WindowFixture& f, const QString& which)
{
    if (which == QLatin1String("start"))
        return {f.Find<QLineEdit>("TxtSTime"), f.Find<TimeSpinner>("VScSTime"), Control::VScSTime};
    return {f.Find<QLineEdit>("TxtETime"), f.Find<TimeSpinner>("VScETime"), Control::VScETime};
}

// Opens the window with both editors enabled.
bool OpenEnabled(WindowFixture& f)
{
    if (!f.Open())
        return false;
    f.form().SetSwitch(1);
    return f.Find("TxtSTime")->isEnabled();
}

void TypeInto(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

QPoint UpperArrow(QWidget* spinner) { return {spinner->width() / 2, spinner->height() / 4}; }
QPoint LowerArrow(QWidget* spinner) { return {spinner->width() / 2, spinner->height() * 3 / 4}; }

} // namespace

class TestWorkTimeWindow : public QObject {
    Q_OBJECT
private slots:
    void typedTime_data();
    void typedTime();
    void leavingWithoutTypingKeepsTheValue();
    void startAndEndAreIndependent();
    void focusLeavingTheWindowCommitsNothing();
    void arrows_data();
    void arrows();
    void keysAndPages_data();
    void keysAndPages();
    void switchEnablesBothEditors_data();
    void switchEnablesBothEditors();
    void operatorNeverGreysTheSwitch();
    void valuesOutsideTheControlsAreRefused();
};

void TestWorkTimeWindow::typedTime_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");

    struct Row {
        const char* typed;
        const char* shown;
        int value;
    };
    const Row rows[] = {
        {"7:30", "07:30", 450},  {"7.30", "07:30", 450},  {"0730", "00:30", 30},   {"730", "00:30", 30},
        {"1230", "01:30", 90},   {"12345", "12:45", 765}, {"7", "00:07", 7},       {"", "00:00", 0},
        {"12:5", "01:00", 60},   {"7:3", "00:00", 0},     {"1:2:3", "01:00", 60},  {"ab:cd", "00:00", 0},
        {" 7:30", "07:30", 450}, {".5:00", "00:30", 30},  {"-0:30", "00:30", 30},  {"12.5", "01:00", 60},
        {"12:.5", "12:00", 720}, {"12:.6", "12:01", 721}, {"23:59", "23:59", 1439}, {"24:00", "07:00", 420},
        {"25:00", "07:00", 420}, {"12:60", "07:00", 420}, {"-1:00", "07:00", 420}, {"12:-5", "07:00", 420},
    };
    for (const char* editor : {"start", "end"})
        for (const Row& row : rows)
            QTest::addRow("%s, \"%s\"", editor, row.typed) << QString::fromLatin1(editor) << QString::fromLatin1(row.typed)
                                                          << QString::fromLatin1(row.shown) << row.value;
}

void TestWorkTimeWindow::typedTime()
{
    QFETCH(QString, editor);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, value);

    WindowFixture f;
    QVERIFY(OpenEnabled(f));
    const Editor e = EditorOf(f, editor);
    f.form().SetSpinner(e.spinnerId, 420);
    QCOMPARE(e.box->text(), QStringLiteral("07:00"));

    TypeInto(e.box, typed);
    QCOMPARE(e.box->text(), typed);
    QCOMPARE(e.spinner->minute(), 420); // nothing counts before the focus leaves
    // The start editor is left with the Tab key, the end editor by a click on another control.
    if (editor == QLatin1String("start"))
        QTest::keyClick(e.box, Qt::Key_Tab);
    else
        QTest::mouseClick(f.Find("TxtDJS"), Qt::LeftButton);
    QVERIFY(!e.box->hasFocus());

    QCOMPARE(e.box->text(), shown);
    QCOMPARE(e.spinner->minute(), value);
    const PanelSettings sent = f.form().Settings();
    QCOMPARE(editor == QLatin1String("start") ? sent.workStart : sent.workEnd, std::int16_t(value));
}

void TestWorkTimeWindow::leavingWithoutTypingKeepsTheValue()
{
    WindowFixture f;
    QVERIFY(OpenEnabled(f));
    const Editor e = EditorOf(f, QStringLiteral("start"));
    f.form().SetSpinner(Control::VScSTime, 1000);
    e.box->setFocus(Qt::MouseFocusReason);
    QSignalSpy changes(e.box, &QLineEdit::textChanged);
    QTest::keyClick(e.box, Qt::Key_Tab);
    QCOMPARE(e.box->text(), QStringLiteral("16:40"));
    QCOMPARE(e.spinner->minute(), 1000);
    QCOMPARE(changes.size(), 0);
}

void TestWorkTimeWindow::startAndEndAreIndependent()
{
    WindowFixture f;
    QVERIFY(OpenEnabled(f));
    const Editor start = EditorOf(f, QStringLiteral("start"));
    const Editor end = EditorOf(f, QStringLiteral("end"));
    TypeInto(start.box, QStringLiteral("20:00"));
    TypeInto(end.box, QStringLiteral("07:00")); // moving the focus commits the start
    QTest::keyClick(end.box, Qt::Key_Tab);
    QCOMPARE(start.spinner->minute(), 1200);
    QCOMPARE(end.spinner->minute(), 420);
    TypeInto(start.box, QStringLiteral("07:00"));
    QTest::keyClick(start.box, Qt::Key_Tab);
    QCOMPARE(start.spinner->minute(), 420);
    QCOMPARE(end.spinner->minute(), 420);
    QCOMPARE(end.box->text(), QStringLiteral("07:00"));
}

void TestWorkTimeWindow::focusLeavingTheWindowCommitsNothing()
{
    WindowFixture f;
    QVERIFY(OpenEnabled(f));
    const Editor e = EditorOf(f, QStringLiteral("start"));
    f.form().SetSpinner(e.spinnerId, 420);
    TypeInto(e.box, QStringLiteral("8:15"));

    // Another window takes the activation: the typed time is still pending.
    QWidget other;
    other.setGeometry(600, 0, 100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(e.box->text(), QStringLiteral("8:15"));
    QCOMPARE(e.spinner->minute(), 420);

    // Back in the panel the box has the focus again; leaving it commits.
    f.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QCOMPARE(QApplication::focusWidget(), e.box);
    QCOMPARE(e.spinner->minute(), 420);
    QTest::keyClick(e.box, Qt::Key_Tab);
    QCOMPARE(e.box->text(), QStringLiteral("08:15"));
    QCOMPARE(e.spinner->minute(), 495);
}

void TestWorkTimeWindow::arrows_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<int>("after");

    for (const char* editor : {"start", "end"}) {
        QTest::addRow("%s, upper arrow at 23:59", editor) << editor << 1439 << true << 1439;
        QTest::addRow("%s, lower arrow at 00:00", editor) << editor << 0 << false << 0;
        QTest::addRow("%s, upper arrow at 23:58", editor) << editor << 1438 << true << 1439;
        QTest::addRow("%s, lower arrow at 00:01", editor) << editor << 1 << false << 0;
        QTest::addRow("%s, upper arrow at 07:00", editor) << editor << 420 << true << 421;
        QTest::addRow("%s, lower arrow at 07:00", editor) << editor << 420 << false << 419;
    }
}

void TestWorkTimeWindow::arrows()
{
    QFETCH(QString, editor);
    QFETCH(int, before);
    QFETCH(bool, upper);
    QFETCH(int, after);

    WindowFixture f;
    QVERIFY(OpenEnabled(f));
    const Editor e = EditorOf(f, editor);
    f.form().SetSpinner(e.spinnerId, before);
    const QString textBefore = e.box->text();
    QSignalSpy changes(e.box, &QLineEdit::textChanged);

    QTest::mouseClick(e.spinner, Qt::LeftButton, {}, upper ? UpperArrow(e.spinner) : LowerArrow(e.spinner));

    QCOMPARE(e.spinner->minute(), after);
    QCOMPARE(changes.size(), after == before ? 0 : 1);
    QCOMPARE(e.box->text(), after == before ? textBefore : QString::fromStdString(TimeText(after)));
}

void TestWorkTimeWindow::keysAndPages_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("after");

    QTest::newRow("up key") << 420 << int(Qt::Key_Up) << 420 + ArrowStep;
    QTest::newRow("down key") << 420 << int(Qt::Key_Down) << 420 - ArrowStep;
    QTest::newRow("page up") << 420 << int(Qt::Key_PageUp) << 420 + PageStep;
    QTest::newRow("page down") << 420 << int(Qt::Key_PageDown) << 420 - PageStep;
    QTest::newRow("page up stops at 23:59") << 1435 << int(Qt::Key_PageUp) << 1439;
    QTest::newRow("page down stops at 00:00") << 4 << int(Qt::Key_PageDown) << 0;
    QTest::newRow("up key at 23:59") << 1439 << int(Qt::Key_Up) << 1439;
    QTest::newRow("down key at 00:00") << 0 << int(Qt::Key_Down) << 0;
}

void TestWorkTimeWindow::keysAndPages()
{
    QFETCH(int, before);
    QFETCH(int, key);
    QFETCH(int, after);

    QCOMPARE(ArrowStep * PageStep, 10); // one step of 1, one of 10
    WindowFixture f;
    QVERIFY(OpenEnabled(f));
    const Editor e = EditorOf(f, QStringLiteral("end"));
    f.form().SetSpinner(Control::VScETime, before);
    e.spinner->setFocus();
    QSignalSpy changes(e.box, &QLineEdit::textChanged);
    QTest::keyClick(e.spinner, Qt::Key(key));
    QCOMPARE(e.spinner->minute(), after);
    QCOMPARE(changes.size(), after == before ? 0 : 1);
    QCOMPARE(e.box->text(), QString::fromStdString(TimeText(after)));
}

void TestWorkTimeWindow::switchEnablesBothEditors_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("byClick"); // the operator clicks; otherwise the program sets it
    QTest::addColumn<int>("set");      // the value the program sets
    QTest::addColumn<int>("after");

    QTest::newRow("click ticks") << 0 << true << 0 << 1;
    QTest::newRow("click unticks") << 1 << true << 0 << 0;
    QTest::newRow("click on greyed ticks") << 2 << true << 0 << 1;
    QTest::newRow("program greys") << 0 << false << 2 << 2;
    QTest::newRow("program unticks greyed") << 2 << false << 0 << 0;
    QTest::newRow("program ticks") << 0 << false << 1 << 1;
}

void TestWorkTimeWindow::switchEnablesBothEditors()
{
    QFETCH(int, before);
    QFETCH(bool, byClick);
    QFETCH(int, set);
    QFETCH(int, after);

    WindowFixture f;
    QVERIFY(f.Open());
    f.form().SetSwitch(static_cast<std::int16_t>(before));
    f.form().ChkWEn_Click();
    f.form().SetSpinner(Control::VScSTime, 1200);
    f.form().SetSpinner(Control::VScETime, 300);
    const QStringList editors = {"TxtSTime", "TxtETime", "VScSTime", "VScETime"};
    for (const QString& name : editors)
        QCOMPARE(f.Find(name.toLatin1())->isEnabled(), before != 0);

    if (byClick)
        QTest::mouseClick(f.Find("ChkWEn"), Qt::LeftButton);
    else
        f.form().SetSwitch(static_cast<std::int16_t>(set));

    QCOMPARE(f.form().Settings().workTimeSwitch, after);
    for (const QString& name : editors)
        QCOMPARE(f.Find(name.toLatin1())->isEnabled(), after != 0);
    // Values and texts stay, and a disabled editor's value is still sent.
    QCOMPARE(f.Find<QLineEdit>("TxtSTime")->text(), QStringLiteral("20:00"));
    QCOMPARE(f.Find<QLineEdit>("TxtETime")->text(), QStringLiteral("05:00"));
    const PanelSettings sent = f.form().Settings();
    QCOMPARE(sent.workStart, 1200);
    QCOMPARE(sent.workEnd, 300);
    QCOMPARE(sent.workTimeSwitch, after);
}

void TestWorkTimeWindow::operatorNeverGreysTheSwitch()
{
    WindowFixture f;
    QVERIFY(f.Open());
    auto* box = f.Find<QCheckBox>("ChkWEn");
    box->setFocus();
    QList<int> seen;
    for (int i = 0; i < 6; ++i) {
        if (i % 2)
            QTest::keyClick(box, Qt::Key_Space);
        else
            QTest::mouseClick(box, Qt::LeftButton);
        seen << f.form().Settings().workTimeSwitch;
    }
    QCOMPARE(seen, QList<int>({1, 0, 1, 0, 1, 0}));
}

void TestWorkTimeWindow::valuesOutsideTheControlsAreRefused()
{
    WindowFixture f;
    QVERIFY(f.Open());
    f.form().SetSwitch(1);
    f.form().SetSpinner(Control::VScSTime, 600);
    f.form().SetSpinner(Control::VScETime, 900);
    for (std::int16_t bad : {std::int16_t(-1), std::int16_t(1440), std::int16_t(32767), std::int16_t(-32768)}) {
        f.form().SetSpinner(Control::VScSTime, bad);
        f.form().SetSpinner(Control::VScETime, bad);
    }
    for (std::int16_t bad : {std::int16_t(3), std::int16_t(-1), std::int16_t(255)})
        f.form().SetSwitch(bad);
    QCOMPARE(f.form().Settings().workStart, 600);
    QCOMPARE(f.form().Settings().workEnd, 900);
    QCOMPARE(f.Find<QLineEdit>("TxtSTime")->text(), QStringLiteral("10:00"));
    QCOMPARE(f.form().Settings().workTimeSwitch, 1);
}

QTEST_MAIN(TestWorkTimeWindow)
#include "test_work_time_window.moc"
