// The update frame, byte for byte.

#include <QtTest>

#include <string>

#include "link/DisplayRecord.h"
#include "link/Numbers.h"
#include "UpdateVectors.h"

using namespace tallymark;

namespace {

Clock FixedClock(int h, int m, int s)
{
    return [=] { return TimeOfDay{h, m, s}; };
}

QByteArray Bytes(const DisplayRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(record.data()), int(record.size()));
}

// The whole update as it leaves the port.
QByteArray Update(const PanelSettings& settings, std::int16_t index, const Clock& clock)
{
    return QByteArray(Greeting.data(), int(Greeting.size())) + Bytes(BuildDisplayRecord(settings, index, clock));
}

PanelSettings Settings(std::string days, std::string bright = "5", std::int16_t sw = 0, std::int16_t start = 420,
                       std::int16_t end = 1140, bool up = false)
{
    return PanelSettings{std::move(days), up, std::move(bright), sw, start, end};
}

} // namespace

class TestDisplayRecord : public QObject {
    Q_OBJECT

private slots:
    void workedExamples()
    {
        for (const vectors::UpdateExample& example : vectors::UpdateExamples) {
            const TimeOfDay t = example.time;
            QVERIFY2(Update(example.settings, example.index, FixedClock(t.hour, t.minute, t.second)).toHex(' ').toUpper()
                         == QByteArray(example.line),
                     example.name);
        }
    }

    void dayCount_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, QByteArray text, const char* hex) {
            QTest::newRow(name) << text << QByteArray::fromHex(hex);
        };
        row("999", "999", "03E7");
        row("12abc", "12abc", "000C");
        row("empty", "", "0000");
        row("abc", "abc", "0000");
        row("blanks between digits", "1 2 3", "007B");
        row("tab and line feed", "\t1\n2", "000C");
        row("exponent", "1e3", "03E8");
        row("exponent upper case with sign", "2E+2x", "00C8");
        row("exponent without digits", "7e", "0007");
        row("65535", "65535", "FFFF");
        row("65536", "65536", "0000");
        row("70000", "70000", "0070");
        row("-5", "-5", "0000");
        row("-256", "-256", "0000");
        row("-300", "-300", "0000");
        row("-0", "-0", "0000");
        row("plus sign", "+42", "002A");
        row("12.5 to even", "12.5", "000C");
        row("13.5 to even", "13.5", "000E");
        row("255.5 to even", "255.5", "0100");
        row("fraction below half", "7.49", "0007");
        row("leading point", ".6", "0001");
        row("second point stops", "1.2.3", "0001");
        row("3000000000 outside 32 bits", "3000000000", "0000");
        row("2147483647 top of 32 bits", "2147483647", "00FF");
        row("1e400 beyond double", "1e400", "0000");
        row("1e-400 underflows to 0", "1e-400", "0000");
        row("43520 gives the marker's value", "43520", "AA00");
        row("CR is not a blank", "1\r2", "0001");
        row("NUL stops the number", QByteArray("4\0" "2", 3), "0004");
        row("non-ASCII", "１２３", "0000");
        row("comma stops", "1,234", "0001");
        row("hex prefix reads 0", "0x1F", "0000");
    }
    void dayCount()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        const auto record = BuildDisplayRecord(Settings(text.toStdString()), 1, FixedClock(0, 0, 0));
        QCOMPARE(Bytes(record).mid(3, 2).toHex(), expected.toHex());
    }

    void markerLeavesLowByte()
    {
        for (const char* text : {"999", "65535", "", "-5", "1e400"}) {
            const auto marked = BuildDisplayRecord(Settings(text), 0, FixedClock(1, 2, 3));
            const auto counted = BuildDisplayRecord(Settings(text), 1, FixedClock(1, 2, 3));
            QCOMPARE(marked[3], CountHighMarker);
            QCOMPARE(marked[4], counted[4]);
            for (std::size_t i = 0; i < marked.size(); ++i)
                if (i != 3)
                    QCOMPARE(marked[i], counted[i]);
        }
    }

    void longText()
    {
        const std::string nines(10000, '9');
        QCOMPARE(Bytes(BuildDisplayRecord(Settings(nines), 1, FixedClock(0, 0, 0))).mid(3, 2).toHex(), QByteArray("0000"));
        const std::string zerosThenSeven = std::string(9999, '0') + "7";
        QCOMPARE(Bytes(BuildDisplayRecord(Settings(zerosThenSeven), 1, FixedClock(0, 0, 0))).mid(3, 2).toHex(), QByteArray("0007"));
        const std::string blanks(10000, ' ');
        QCOMPARE(Bytes(BuildDisplayRecord(Settings(blanks, blanks), 1, FixedClock(0, 0, 0))).mid(3, 3).toHex(), QByteArray("000000"));
    }

    void brightness_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected");
        for (int b = 1; b <= 8; ++b)
            QTest::addRow("%d", b) << QByteArray::number(b) << (8 - b) % 8;
        QTest::newRow("0") << QByteArray("0") << 0;
        QTest::newRow("9") << QByteArray("9") << 7;
        QTest::newRow("12") << QByteArray("12") << 4;
        QTest::newRow("255") << QByteArray("255") << 1;
        QTest::newRow("256") << QByteArray("256") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("letters") << QByteArray("abc") << 0;
        QTest::newRow("7x") << QByteArray("7x") << 0;
        QTest::newRow("negative") << QByteArray("-1") << 0;
        QTest::newRow("blanks around") << QByteArray("  3\t") << 5;
        QTest::newRow("4.5 to even") << QByteArray("4.5") << 4;
        QTest::newRow("5.5 to even") << QByteArray("5.5") << 2;
        QTest::newRow("-0.4 rounds to 0") << QByteArray("-0.4") << 0;
        QTest::newRow("1e400") << QByteArray("1e400") << 0;
        QTest::newRow("blank inside") << QByteArray("1 2") << 0;
    }
    void brightness()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        const auto record = BuildDisplayRecord(Settings("1", text.toStdString()), 1, FixedClock(0, 0, 0));
        QCOMPARE(int(record[5]), expected);
    }

    // Bytes 6 to 9: switch, start, counting up, end.
    void workTime_data()
    {
        QTest::addColumn<int>("sw");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("23:59 both, on, up") << 1 << 1439 << 1439 << true << QByteArray::fromHex("973B973B");
        QTest::newRow("00:00 both, off, down") << 0 << 0 << 0 << false << QByteArray::fromHex("00000000");
        QTest::newRow("greyed switch keeps start minute") << 2 << 450 << 1200 << false << QByteArray::fromHex("001E1400");
        QTest::newRow("greyed switch, counting up") << 2 << 1439 << 1200 << true << QByteArray::fromHex("003B9400");
        QTest::newRow("plain numbers, not BCD") << 1 << 17 * 60 + 30 << 600 << false << QByteArray::fromHex("911E0A00");
        QTest::newRow("negative start") << 1 << -30 << 60 << false << QByteArray::fromHex("80000100");
        QTest::newRow("negative end") << 0 << 60 << -61 << true << QByteArray::fromHex("01008000");
        QTest::newRow("end hour beyond a byte") << 0 << 60 << 32767 << false << QByteArray::fromHex("01000007");
        QTest::newRow("end beyond a byte, counting up") << 0 << 60 << 32767 << true << QByteArray::fromHex("01008007");
        QTest::newRow("end hour 128, counting up fails") << 0 << 0 << 128 * 60 + 5 << true << QByteArray::fromHex("00008005");
        QTest::newRow("start hour 127 with switch") << 1 << 127 * 60 << 0 << false << QByteArray::fromHex("FF000000");
        QTest::newRow("start hour 128 with switch fails") << 1 << 128 * 60 + 1 << 0 << false << QByteArray::fromHex("00010000");
    }
    void workTime()
    {
        QFETCH(int, sw);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(bool, up);
        QFETCH(QByteArray, expected);
        const auto record = BuildDisplayRecord(Settings("1", "5", std::int16_t(sw), std::int16_t(start), std::int16_t(end), up),
                                               1, FixedClock(0, 0, 0));
        QCOMPARE(Bytes(record).mid(6, 4).toHex(), expected.toHex());
    }

    void clockBytes_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("last second of the day") << QTime(23, 59, 59) << QByteArray::fromHex("595923");
        QTest::newRow("midnight") << QTime(0, 0, 0) << QByteArray::fromHex("000000");
        QTest::newRow("BCD not binary") << QTime(17, 30, 10) << QByteArray::fromHex("103017");
    }
    void clockBytes()
    {
        QFETCH(QTime, time);
        QFETCH(QByteArray, expected);
        const auto record = BuildDisplayRecord(Settings("1"), 1, FixedClock(time.hour(), time.minute(), time.second()));
        QCOMPARE(Bytes(record).left(3).toHex(), expected.toHex());
    }

    // The clock box takes the system's separator; the update's clock bytes never do.
    void timeSeparator_data()
    {
        QTest::addColumn<QString>("formatted"); // 01:02:03 as the system formats it
        QTest::addColumn<QString>("separator");
        QTest::newRow("colon") << "01:02:03" << ":";
        QTest::newRow("point") << "01.02.03" << ".";
        QTest::newRow("twelve-hour clock") << " 1:02:03 AM" << ":";
        QTest::newRow("unit after the hour") << "01時02分03秒" << ":";
        QTest::newRow("letter after the hour") << "01h02" << ":";
        QTest::newRow("two characters") << "01::02" << ":";
        QTest::newRow("nothing") << "" << ":";
    }

    void timeSeparator()
    {
        QFETCH(QString, formatted);
        QFETCH(QString, separator);
        const std::string found = TimeSeparatorIn(formatted.toStdString());
        QCOMPARE(QString::fromStdString(found), separator);
        QCOMPARE(QString::fromStdString(ClockText({9, 5, 7}, found)), "09" + separator + "05" + separator + "07");
        const auto record = BuildDisplayRecord(Settings("1"), 1, FixedClock(9, 5, 7));
        QCOMPARE(Bytes(record).left(3).toHex(), QByteArray("070509"));
    }

    void clockReadOnceAfterSettings()
    {
        int readings = 0;
        const Clock counting = [&] {
            ++readings;
            return TimeOfDay{12, 0, readings};
        };
        const auto record = BuildDisplayRecord(Settings("999"), 1, counting);
        QCOMPARE(readings, 1);
        QCOMPARE(int(record[0]), 0x01);
    }

    void buildsAreIndependent()
    {
        const auto clock = FixedClock(9, 8, 7);
        const auto first = BuildDisplayRecord(Settings("999", "3", 1, 420, 1140, true), 1, clock);
        // A build full of failing steps between two good ones leaves nothing behind.
        const auto failing = BuildDisplayRecord(Settings("-300", "x", 2, -1, 32767, true), 1, clock);
        QCOMPARE(Bytes(failing).mid(3).toHex(), QByteArray("00000000008007"));
        const auto again = BuildDisplayRecord(Settings("999", "3", 1, 420, 1140, true), 1, clock);
        QCOMPARE(Bytes(first), Bytes(again));
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("hasValue");
        QTest::addColumn<double>("expected");
        QTest::newRow("7:") << QByteArray("7:") << true << 7.0;
        QTest::newRow("5.") << QByteArray("5.") << true << 5.0;
        QTest::newRow(".5") << QByteArray(".5") << true << 0.5;
        QTest::newRow("-1") << QByteArray("-1") << true << -1.0;
        QTest::newRow("+7") << QByteArray("+7") << true << 7.0;
        QTest::newRow(":5") << QByteArray(":5") << true << 0.0;
        QTest::newRow("blank digit") << QByteArray(" 7") << true << 7.0;
        QTest::newRow("digit blank") << QByteArray("7 ") << true << 7.0;
        QTest::newRow("sign alone") << QByteArray("-") << true << 0.0;
        QTest::newRow("point alone") << QByteArray(".") << true << 0.0;
        QTest::newRow("sign point") << QByteArray("-.") << true << 0.0;
        QTest::newRow("two signs") << QByteArray("--1") << true << 0.0;
        QTest::newRow("1.5e1") << QByteArray("1.5e1") << true << 15.0;
        QTest::newRow("1e-1") << QByteArray("1e-1") << true << 0.1;
        QTest::newRow("1e+") << QByteArray("1e+") << true << 1.0;
        QTest::newRow("max double") << QByteArray("1.7976931348623157e308") << true << 1.7976931348623157e308;
        QTest::newRow("-1e400") << QByteArray("-1e400") << false << 0.0;
        QTest::newRow("0e999999") << QByteArray("0e999999") << true << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, hasValue);
        QFETCH(double, expected);
        const auto value = LeadingNumber(std::string_view(text.constData(), std::size_t(text.size())));
        QCOMPARE(value.has_value(), hasValue);
        if (hasValue)
            QCOMPARE(*value, expected);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("12.5") << 12.5 << 12.0;
        QTest::newRow("13.5") << 13.5 << 14.0;
        QTest::newRow("0.5") << 0.5 << 0.0;
        QTest::newRow("-0.5") << -0.5 << 0.0;
        QTest::newRow("-1.5") << -1.5 << -2.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
        QTest::newRow("2.5001") << 2.5001 << 3.0;
        QTest::newRow("720.5") << 720.5 << 720.0;
        QTest::newRow("large whole") << 4503599627370497.0 << 4503599627370497.0;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(RoundHalfEven(value), expected);
    }
};

QTEST_GUILESS_MAIN(TestDisplayRecord)
#include "test_display_record.moc"
