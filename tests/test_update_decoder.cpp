// The display reads back exactly what the panel's frame builder sent.

#include <QtTest>

#include <random>

#include "display/UpdateDecoder.h"
#include "link/DisplayRecord.h"

using namespace tallymark;
using namespace tallymark::display;

class UpdateDecoderTest : public QObject {
    Q_OBJECT

private slots:
    void decodesWhatThePanelBuilds_data();
    void decodesWhatThePanelBuilds();
    void refusesRecordsNoPanelSends_data();
    void refusesRecordsNoPanelSends();
    void encodingReversesDecoding();
    void brightnessSettingOfEachCode();
};

void UpdateDecoderTest::decodesWhatThePanelBuilds_data()
{
    QTest::addColumn<QString>("countText");
    QTest::addColumn<bool>("countUp");
    QTest::addColumn<QString>("brightnessText");
    QTest::addColumn<int>("workSwitch");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("button");
    QTest::addColumn<QTime>("time");
    // What the display must read: -1 for "keep the count".
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<bool>("workOn");
    QTest::addColumn<int>("workStart");
    QTest::addColumn<int>("workEnd");

    QTest::newRow("settings button, counting down") << "999" << false << "5" << 1 << 420 << 1140 << 1 << QTime(13, 45, 9)
                                                    << 999 << 5 << true << 420 << 1140;
    QTest::newRow("current-time button keeps the count") << "999" << false << "5" << 1 << 420 << 1140 << 0
                                                         << QTime(13, 45, 9) << -1 << 5 << true << 420 << 1140;
    QTest::newRow("counting up, switch off") << "168" << true << "8" << 0 << 510 << 1035 << 1 << QTime(8, 5, 30) << 168
                                             << 8 << false << 510 << 1035;
    QTest::newRow("midnight, count 0, dimmest") << "0" << true << "1" << 1 << 0 << 0 << 1 << QTime(0, 0, 0) << 0 << 1
                                                << true << 0 << 0;
    QTest::newRow("last second of the day, all fields full") << "65535" << true << "4" << 1 << 1439 << 1439 << 1
                                                             << QTime(23, 59, 59) << 65535 << 4 << true << 1439 << 1439;
    QTest::newRow("window across midnight") << "42" << false << "2" << 1 << 1320 << 360 << 1 << QTime(22, 30, 0) << 42
                                            << 2 << true << 1320 << 360;
    QTest::newRow("count with high byte") << "256" << false << "6" << 0 << 61 << 1399 << 1 << QTime(19, 9, 50) << 256
                                          << 6 << false << 61 << 1399;
    QTest::newRow("count text with an exponent") << "1e3" << true << "3" << 0 << 0 << 0 << 1 << QTime(10, 10, 10)
                                                 << 1000 << 3 << false << 0 << 0;
    QTest::newRow("count text with trailing letters") << "12abc" << true << "7" << 0 << 0 << 0 << 1 << QTime(1, 2, 3)
                                                      << 12 << 7 << false << 0 << 0;
    // Counts 43520 to 43775 carry 0xAA in byte 3: the display cannot tell them from the marker.
    QTest::newRow("count that looks like the marker") << "43600" << true << "8" << 0 << 0 << 0 << 1 << QTime(12, 0, 0)
                                                      << -1 << 8 << false << 0 << 0;
    // A greyed switch makes the panel drop the start hour, but the start minute still comes.
    QTest::newRow("greyed switch") << "5" << true << "8" << 2 << 615 << 700 << 1 << QTime(9, 0, 0) << 5 << 8 << false
                                   << 15 << 700;
    QTest::newRow("brightness 0 is sent as the brightest") << "5" << true << "0" << 0 << 0 << 0 << 1 << QTime(9, 0, 0)
                                                           << 5 << 8 << false << 0 << 0;
    QTest::newRow("brightness 9 is sent as the dimmest") << "5" << true << "9" << 0 << 0 << 0 << 1 << QTime(9, 0, 0)
                                                         << 5 << 1 << false << 0 << 0;
}

void UpdateDecoderTest::decodesWhatThePanelBuilds()
{
    QFETCH(QString, countText);
    QFETCH(bool, countUp);
    QFETCH(QString, brightnessText);
    QFETCH(int, workSwitch);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, button);
    QFETCH(QTime, time);
    QFETCH(int, count);
    QFETCH(int, brightness);
    QFETCH(bool, workOn);
    QFETCH(int, workStart);
    QFETCH(int, workEnd);

    PanelSettings settings;
    settings.dayCountText = countText.toStdString();
    settings.countUp = countUp;
    settings.brightnessText = brightnessText.toStdString();
    settings.workTimeSwitch = static_cast<std::int16_t>(workSwitch);
    settings.workStart = static_cast<std::int16_t>(start);
    settings.workEnd = static_cast<std::int16_t>(end);
    const Clock clock = [&] { return TimeOfDay{time.hour(), time.minute(), time.second()}; };

    const DisplayRecord record = BuildDisplayRecord(settings, static_cast<std::int16_t>(button), clock);
    const auto update = DecodeUpdate(record);
    QVERIFY(update);

    QCOMPARE(update->clock.hour, time.hour());
    QCOMPARE(update->clock.minute, time.minute());
    QCOMPARE(update->clock.second, time.second());
    QCOMPARE(update->dayCount.has_value(), count >= 0);
    if (count >= 0)
        QCOMPARE(int{*update->dayCount}, count);
    QCOMPARE(BrightnessSetting(update->brightnessCode), brightness);
    QCOMPARE(update->workTimeOn, workOn);
    QCOMPARE(update->workStart, workStart);
    QCOMPARE(update->workEnd, workEnd);
    QCOMPARE(update->countUp, countUp);
    QCOMPARE(EncodeUpdate(*update), record);
}

void UpdateDecoderTest::refusesRecordsNoPanelSends_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("second 59") << 0 << 0x59 << true;
    QTest::newRow("second 60") << 0 << 0x60 << false;
    QTest::newRow("second not a BCD digit") << 0 << 0x1A << false;
    QTest::newRow("minute 59") << 1 << 0x59 << true;
    QTest::newRow("minute 60") << 1 << 0x60 << false;
    QTest::newRow("minute tens not a digit") << 1 << 0xA0 << false;
    QTest::newRow("hour 23") << 2 << 0x23 << true;
    QTest::newRow("hour 24") << 2 << 0x24 << false;
    QTest::newRow("hour 17") << 2 << 0x17 << true;
    QTest::newRow("hour 0x0F") << 2 << 0x0F << false;
    QTest::newRow("any high count byte") << 3 << 0xFF << true;
    QTest::newRow("brightness code 7") << 5 << 7 << true;
    QTest::newRow("brightness code 8") << 5 << 8 << false;
    QTest::newRow("start hour beyond the day") << 6 << 0xFF << true;
    QTest::newRow("start minute 59") << 7 << 59 << true;
    QTest::newRow("start minute 60") << 7 << 60 << false;
    QTest::newRow("end minute 60") << 9 << 60 << false;
}

void UpdateDecoderTest::refusesRecordsNoPanelSends()
{
    QFETCH(int, index);
    QFETCH(int, value);
    QFETCH(bool, accepted);

    DisplayRecord record{0x09, 0x45, 0x13, 0x03, 0xE7, 0x03, 0x87, 0x00, 0x13, 0x00};
    QVERIFY(DecodeUpdate(record));
    record[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value);
    QCOMPARE(DecodeUpdate(record).has_value(), accepted);
}

void UpdateDecoderTest::encodingReversesDecoding()
{
    // Random records of the kind a panel sends, including start and end hours of seven bits.
    std::mt19937 random(6);
    const auto below = [&](int limit) { return static_cast<int>(random() % static_cast<unsigned>(limit)); };
    const auto bcd = [](int value) { return static_cast<std::uint8_t>(value / 10 * 16 + value % 10); };
    for (int i = 0; i < 20000; ++i) {
        const DisplayRecord record{bcd(below(60)), bcd(below(60)), bcd(below(24)),
                                   static_cast<std::uint8_t>(below(256)), static_cast<std::uint8_t>(below(256)),
                                   static_cast<std::uint8_t>(below(8)), static_cast<std::uint8_t>(below(256)),
                                   static_cast<std::uint8_t>(below(60)), static_cast<std::uint8_t>(below(256)),
                                   static_cast<std::uint8_t>(below(60))};
        const auto update = DecodeUpdate(record);
        QVERIFY(update);
        QCOMPARE(EncodeUpdate(*update), record);
    }
}

void UpdateDecoderTest::brightnessSettingOfEachCode()
{
    // The panel's list: brightness 1 to 8 goes out as 7 down to 0.
    for (int brightness = 1; brightness <= 8; ++brightness) {
        const auto code = BrightnessCode(std::to_string(brightness));
        QVERIFY(code);
        QCOMPARE(BrightnessSetting(*code), brightness);
    }
}

QTEST_GUILESS_MAIN(UpdateDecoderTest)
#include "test_update_decoder.moc"
