// The display between updates: its clock runs on, the count steps at midnight, the working
// window lights the digits, and the brightness comes in eight steps.

#include <QtTest>

#include "display/DisplayModel.h"

using namespace std::chrono_literals;
using namespace tallymark;
using namespace tallymark::display;

namespace {

const Instant PowerOn = Instant() + 1h;

DisplayUpdate Settings(TimeOfDay clock, std::optional<std::uint16_t> count, bool countUp)
{
    DisplayUpdate update;
    update.clock = clock;
    update.dayCount = count;
    update.countUp = countUp;
    update.brightnessCode = 3;
    return update;
}

QString Text(const TimeOfDay& time)
{
    return QString::fromStdString(ClockText(time));
}

} // namespace

class DisplayModelTest : public QObject {
    Q_OBJECT

private slots:
    void countStepsAtMidnight_data();
    void countStepsAtMidnight();
    void smallStepsCountTheSameMidnights();
    void settingTheClockIsNoMidnight();
    void midnightBeforeAnUpdateStillCounts();
    void markerKeepsTheCount();
    void digitsLitInTheWorkingWindow_data();
    void digitsLitInTheWorkingWindow();
    void windowFollowsTheRunningClock();
    void brightnessInEightSteps();
    void clockRunsOnFromTheTimeGiven();
};

void DisplayModelTest::countStepsAtMidnight_data()
{
    QTest::addColumn<QTime>("clock");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("countUp");
    QTest::addColumn<int>("runSeconds");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QTime>("expectedClock");

    QTest::newRow("up over midnight") << QTime(23, 59, 58) << 5 << true << 3 << 6 << QTime(0, 0, 1);
    QTest::newRow("down over midnight") << QTime(23, 59, 58) << 5 << false << 3 << 4 << QTime(0, 0, 1);
    QTest::newRow("up to the last second before midnight") << QTime(23, 59, 58) << 5 << true << 1 << 5 << QTime(23, 59, 59);
    QTest::newRow("exactly at midnight") << QTime(23, 59, 59) << 5 << true << 1 << 6 << QTime(0, 0, 0);
    QTest::newRow("down stops at 0") << QTime(23, 0, 0) << 0 << false << 7200 << 0 << QTime(1, 0, 0);
    QTest::newRow("down from 1 over three midnights") << QTime(12, 0, 0) << 1 << false << 3 * 86400 << 0
                                                      << QTime(12, 0, 0);
    QTest::newRow("up over three midnights") << QTime(12, 0, 0) << 998 << true << 3 * 86400 << 1001 << QTime(12, 0, 0);
    QTest::newRow("just short of a day from midnight") << QTime(0, 0, 0) << 9 << true << 86399 << 9
                                                       << QTime(23, 59, 59);
    QTest::newRow("up stops at the largest count") << QTime(23, 59, 59) << 65535 << true << 1 << 65535 << QTime(0, 0, 0);
}

void DisplayModelTest::countStepsAtMidnight()
{
    QFETCH(QTime, clock);
    QFETCH(int, count);
    QFETCH(bool, countUp);
    QFETCH(int, runSeconds);
    QFETCH(int, expected);
    QFETCH(QTime, expectedClock);

    DisplayModel model({}, PowerOn);
    model.Apply(Settings({clock.hour(), clock.minute(), clock.second()}, static_cast<std::uint16_t>(count), countUp),
                PowerOn);
    model.AdvanceTo(PowerOn + std::chrono::seconds(runSeconds));
    QCOMPARE(int{model.DayCount()}, expected);
    QCOMPARE(Text(model.Clock()), expectedClock.toString("HH:mm:ss"));
}

void DisplayModelTest::smallStepsCountTheSameMidnights()
{
    // A window that ticks unevenly sees the same days as one that looks once.
    DisplayModel stepwise({}, PowerOn);
    DisplayModel once({}, PowerOn);
    stepwise.Apply(Settings({22, 0, 0}, 10, true), PowerOn);
    once.Apply(Settings({22, 0, 0}, 10, true), PowerOn);
    Instant now = PowerOn;
    for (int i = 0; i < 5000; ++i) {
        now += std::chrono::milliseconds(1 + (i * 7919) % 251'000); // uneven steps, about 5 days
        stepwise.AdvanceTo(now);
    }
    once.AdvanceTo(now);
    QVERIFY(stepwise.DayCount() > 10);
    QCOMPARE(stepwise.DayCount(), once.DayCount());
    QCOMPARE(Text(stepwise.Clock()), Text(once.Clock()));
}

void DisplayModelTest::settingTheClockIsNoMidnight()
{
    DisplayModel model({}, PowerOn);
    model.Apply(Settings({23, 59, 50}, 7, true), PowerOn);
    // The panel sets the clock forward past midnight, and back again.
    model.Apply(Settings({0, 0, 10}, std::nullopt, true), PowerOn + 1s);
    QCOMPARE(int{model.DayCount()}, 7);
    model.Apply(Settings({23, 59, 0}, std::nullopt, true), PowerOn + 2s);
    QCOMPARE(int{model.DayCount()}, 7);
    model.AdvanceTo(PowerOn + 2s + 60s);
    QCOMPARE(int{model.DayCount()}, 8);
}

void DisplayModelTest::midnightBeforeAnUpdateStillCounts()
{
    DisplayModel model({}, PowerOn);
    model.Apply(Settings({23, 59, 59}, 3, true), PowerOn);
    // Nobody looked at the display while midnight passed; then an update came.
    model.Apply(Settings({12, 0, 0}, std::nullopt, false), PowerOn + 2s);
    QCOMPARE(int{model.DayCount()}, 4);
    QVERIFY(!model.CountsUp());
}

void DisplayModelTest::markerKeepsTheCount()
{
    DisplayModel model({}, PowerOn);
    model.Apply(Settings({9, 0, 0}, 321, true), PowerOn);
    DisplayUpdate clockOnly = Settings({10, 30, 0}, std::nullopt, false);
    clockOnly.countLowByte = 0x99;
    clockOnly.brightnessCode = 6;
    clockOnly.workTimeOn = true;
    clockOnly.workStart = 600;
    clockOnly.workEnd = 660;
    model.Apply(clockOnly, PowerOn + 1s);

    QCOMPARE(int{model.DayCount()}, 321);
    // Everything else the update carries is taken.
    QCOMPARE(Text(model.Clock()), QString("10:30:00"));
    QVERIFY(!model.CountsUp());
    QCOMPARE(model.BrightnessCode(), 6);
    QCOMPARE(model.Work(), (WorkTime{true, 600, 660}));
}

void DisplayModelTest::digitsLitInTheWorkingWindow_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QTime>("clock");
    QTest::addColumn<bool>("lit");

    const int seven = 7 * 60, nineteen = 19 * 60, ten = 22 * 60, six = 6 * 60;
    QTest::newRow("day window, before") << true << seven << nineteen << QTime(6, 59, 59) << false;
    QTest::newRow("day window, at the start") << true << seven << nineteen << QTime(7, 0, 0) << true;
    QTest::newRow("day window, last minute") << true << seven << nineteen << QTime(18, 59, 59) << true;
    QTest::newRow("day window, at the end") << true << seven << nineteen << QTime(19, 0, 0) << false;
    QTest::newRow("day window, midnight") << true << seven << nineteen << QTime(0, 0, 0) << false;
    QTest::newRow("night window, before the start") << true << ten << six << QTime(21, 59, 59) << false;
    QTest::newRow("night window, at the start") << true << ten << six << QTime(22, 0, 0) << true;
    QTest::newRow("night window, at midnight") << true << ten << six << QTime(0, 0, 0) << true;
    QTest::newRow("night window, last minute") << true << ten << six << QTime(5, 59, 59) << true;
    QTest::newRow("night window, at the end") << true << ten << six << QTime(6, 0, 0) << false;
    QTest::newRow("night window, midday") << true << ten << six << QTime(12, 0, 0) << false;
    QTest::newRow("window from midnight") << true << 0 << 60 << QTime(0, 0, 0) << true;
    QTest::newRow("window to the last minute") << true << 600 << 1439 << QTime(23, 59, 0) << false;
    QTest::newRow("start equal to end") << true << 600 << 600 << QTime(10, 0, 0) << false;
    QTest::newRow("switch off, outside the window") << false << seven << nineteen << QTime(3, 0, 0) << true;
    QTest::newRow("switch off, empty window") << false << 600 << 600 << QTime(10, 0, 0) << true;
}

void DisplayModelTest::digitsLitInTheWorkingWindow()
{
    QFETCH(bool, on);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QTime, clock);
    QFETCH(bool, lit);

    DisplayUpdate update = Settings({clock.hour(), clock.minute(), clock.second()}, 5, true);
    update.workTimeOn = on;
    update.workStart = start;
    update.workEnd = end;
    DisplayModel model({}, PowerOn);
    model.Apply(update, PowerOn);
    QCOMPARE(model.DigitsLit(), lit);
}

void DisplayModelTest::windowFollowsTheRunningClock()
{
    DisplayUpdate update = Settings({21, 59, 58}, 5, true);
    update.workTimeOn = true;
    update.workStart = 22 * 60;
    update.workEnd = 6 * 60;
    DisplayModel model({}, PowerOn);
    model.Apply(update, PowerOn);
    QVERIFY(!model.DigitsLit());
    model.AdvanceTo(PowerOn + 2s);
    QVERIFY(model.DigitsLit());
    model.AdvanceTo(PowerOn + 2s + 8h);
    QVERIFY(!model.DigitsLit());
}

void DisplayModelTest::brightnessInEightSteps()
{
    DisplayModel model({}, PowerOn);
    QCOMPARE(model.Intensity(), 1.0);
    double previous = 2.0;
    for (std::uint8_t code = 0; code <= 7; ++code) {
        DisplayUpdate update = Settings({}, 1, true);
        update.brightnessCode = code;
        model.Apply(update, PowerOn);
        QVERIFY(model.Intensity() < previous);
        QVERIFY(model.Intensity() > 0);
        QCOMPARE(model.Intensity(), (8 - code) / 8.0);
        previous = model.Intensity();
    }
}

void DisplayModelTest::clockRunsOnFromTheTimeGiven()
{
    DisplayModel model({13, 45, 9}, PowerOn);
    QCOMPARE(Text(model.Clock()), QString("13:45:09"));
    model.AdvanceTo(PowerOn + 999ms);
    QCOMPARE(Text(model.Clock()), QString("13:45:09"));
    QCOMPARE(model.UntilNextSecond(), 1ms);
    model.AdvanceTo(PowerOn + 1s + 10h + 15min);
    QCOMPARE(Text(model.Clock()), QString("00:00:10"));
    QCOMPARE(model.UntilNextSecond(), 1000ms);
    // Time does not run backwards.
    model.AdvanceTo(PowerOn);
    QCOMPARE(Text(model.Clock()), QString("00:00:10"));
}

QTEST_GUILESS_MAIN(DisplayModelTest)
#include "test_display_model.moc"
