// The work-time editor's rules on their own: the time text of every minute of the day, and
// what a typed text commits to, beyond the typed-time table that the window tests type in.

#include <QtTest>

#include <optional>
#include <string>

#include "ui/WorkTimeEditor.h"

using namespace tallymark;

class TestWorkTimeEditor : public QObject {
    Q_OBJECT
private slots:
    void timeTextOfEveryMinute();
    void commit_data();
    void commit();
    void everyTimeTextCommitsToItsOwnMinute();
};

void TestWorkTimeEditor::timeTextOfEveryMinute()
{
    for (int minute = 0; minute <= 1439; ++minute) {
        const QString expected = QTime(minute / 60, minute % 60).toString(QStringLiteral("hh:mm"));
        QCOMPARE(QString::fromStdString(TimeText(minute)), expected);
    }
}

void TestWorkTimeEditor::commit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("minute"); // -1: refused

    // Only the last five characters count.
    QTest::newRow("six characters, the first dropped") << "123:45" << 23 * 60 + 45;
    QTest::newRow("long text ending in a time") << "abcdef07:15" << 435;
    QTest::newRow("long text ending out of range") << "1234567" << -1; // "34567": hour 34
    // A character of several bytes counts once, and cannot begin or continue a number.
    QTest::newRow("full-width digits are not digits") << "１２:３４" << 0;
    QTest::newRow("full-width colon") << "07：30" << 450;
    QTest::newRow("full-width character before the hour digit") << "あ7:30" << 30;
    QTest::newRow("full-width character is one of the five") << "あ12:3" << 0;
    // An exponent needs a digit after its letter; a two-character slice never has room.
    QTest::newRow("exponent letter ends the hour") << "1e:30" << 90;
    QTest::newRow("decimal hour inside the day") << "1.:00" << 60;
    QTest::newRow("fraction of an hour rounds to even minutes") << ".5:.5" << 30; // 30.5 -> 30
    QTest::newRow("fraction rounding up") << ".5:1." << 31;
    QTest::newRow("plus signs") << "+7:+5" << 425;
    QTest::newRow("tab inside a slice is removed") << "\t7:30" << 450;
    QTest::newRow("minus zero minute") << "07:-0" << 420;
    QTest::newRow("minute fraction below a half rounds down") << "59.4" << 300; // "059.4": 05 and .4
}

void TestWorkTimeEditor::commit()
{
    QFETCH(QString, typed);
    QFETCH(int, minute);
    const std::optional<int> committed = CommitTypedTime(typed.toStdString());
    if (minute < 0) {
        QVERIFY2(!committed, qPrintable(QStringLiteral("accepted as %1").arg(committed.value_or(-1))));
    } else {
        QVERIFY(committed);
        QCOMPARE(*committed, minute);
    }
}

void TestWorkTimeEditor::everyTimeTextCommitsToItsOwnMinute()
{
    for (int minute = 0; minute <= 1439; ++minute)
        QCOMPARE(CommitTypedTime(TimeText(minute)), std::optional<int>(minute));
}

QTEST_APPLESS_MAIN(TestWorkTimeEditor)
#include "test_work_time_editor.moc"
