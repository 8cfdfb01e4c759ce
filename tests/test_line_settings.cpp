// Line settings texts: what the component takes, and what it refuses before any port opens.

#include <QTest>

#include "link/LineSettings.h"
#include "link/SerialPort.h"

using tallymark::LineSettings;
using tallymark::Parity;
using tallymark::ParseLineSettings;
using tallymark::SerialError;
using tallymark::StopBits;

Q_DECLARE_METATYPE(LineSettings)

class TestLineSettings : public QObject {
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<LineSettings>("expected");
        QTest::newRow("the display's") << QByteArray("9600,n,8,1") << LineSettings{9600, Parity::None, 8, StopBits::One};
        QTest::newRow("upper-case none") << QByteArray("9600,N,8,1") << LineSettings{9600, Parity::None, 8, StopBits::One};
        QTest::newRow("even") << QByteArray("19200,e,7,2") << LineSettings{19200, Parity::Even, 7, StopBits::Two};
        QTest::newRow("odd") << QByteArray("4800,O,5,1.5") << LineSettings{4800, Parity::Odd, 5, StopBits::OneAndHalf};
        QTest::newRow("mark") << QByteArray("1200,m,6,1") << LineSettings{1200, Parity::Mark, 6, StopBits::One};
        QTest::newRow("space") << QByteArray("110,S,8,2") << LineSettings{110, Parity::Space, 8, StopBits::Two};
        QTest::newRow("lowest baud") << QByteArray("1,n,8,1") << LineSettings{1, Parity::None, 8, StopBits::One};
        QTest::newRow("highest baud") << QByteArray("4000000,n,8,1") << LineSettings{4000000, Parity::None, 8, StopBits::One};
        QTest::newRow("leading zero") << QByteArray("09600,n,8,1") << LineSettings{9600, Parity::None, 8, StopBits::One};
    }

    void reads()
    {
        QFETCH(QByteArray, text);
        QFETCH(LineSettings, expected);
        const LineSettings settings = ParseLineSettings(std::string_view(text.constData(), text.size()));
        QCOMPARE(settings.baudRate, expected.baudRate);
        QCOMPARE(settings.parity, expected.parity);
        QCOMPARE(settings.dataBits, expected.dataBits);
        QCOMPARE(settings.stopBits, expected.stopBits);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("baud only") << QByteArray("9600");
        QTest::newRow("three fields") << QByteArray("9600,n,8");
        QTest::newRow("five fields") << QByteArray("9600,n,8,1,1");
        QTest::newRow("trailing comma") << QByteArray("9600,n,8,1,");
        QTest::newRow("semicolons") << QByteArray("9600;n;8;1");
        QTest::newRow("leading blank") << QByteArray(" 9600,n,8,1");
        QTest::newRow("blank in a field") << QByteArray("9600, n,8,1");
        QTest::newRow("trailing blank") << QByteArray("9600,n,8,1 ");
        QTest::newRow("trailing NUL") << QByteArray("9600,n,8,1\0", 11);
        QTest::newRow("no baud") << QByteArray(",n,8,1");
        QTest::newRow("baud 0") << QByteArray("0,n,8,1");
        QTest::newRow("negative baud") << QByteArray("-9600,n,8,1");
        QTest::newRow("signed baud") << QByteArray("+9600,n,8,1");
        QTest::newRow("letters in baud") << QByteArray("96OO,n,8,1");
        QTest::newRow("fractional baud") << QByteArray("9600.5,n,8,1");
        QTest::newRow("baud above the highest") << QByteArray("4000001,n,8,1");
        QTest::newRow("baud beyond 64 bits") << QByteArray("99999999999999999999999,n,8,1");
        QTest::newRow("no parity letter") << QByteArray("9600,,8,1");
        QTest::newRow("unknown parity") << QByteArray("9600,x,8,1");
        QTest::newRow("parity word") << QByteArray("9600,none,8,1");
        QTest::newRow("4 data bits") << QByteArray("9600,n,4,1");
        QTest::newRow("9 data bits") << QByteArray("9600,n,9,1");
        QTest::newRow("data bits 08") << QByteArray("9600,n,08,1");
        QTest::newRow("0 stop bits") << QByteArray("9600,n,8,0");
        QTest::newRow("3 stop bits") << QByteArray("9600,n,8,3");
        QTest::newRow("stop bits 1.0") << QByteArray("9600,n,8,1.0");
        QTest::newRow("stop bits 1,5") << QByteArray("9600,n,8,1,5");
        QTest::newRow("fields swapped") << QByteArray("n,9600,8,1");
    }

    void refuses()
    {
        QFETCH(QByteArray, text);
        QVERIFY_THROWS_EXCEPTION(SerialError, ParseLineSettings(std::string_view(text.constData(), text.size())));
    }
};

QTEST_GUILESS_MAIN(TestLineSettings)
#include "test_line_settings.moc"
