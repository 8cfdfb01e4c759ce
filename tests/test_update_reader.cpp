// Finding updates in what arrives on the line: whole updates, garbage, greetings and records
// cut short, and the pauses that end them.

#include <QtTest>

#include <random>

#include "display/UpdateReader.h"
#include "display/UpdateText.h"

using namespace std::chrono_literals;
using namespace tallymark::display;
using tallymark::HexBytes;

namespace {

const QByteArray Update = QByteArray::fromHex("48656C6C6F 094513 03E7 03 8700 1300");
const QByteArray Second = QByteArray::fromHex("48656C6C6F 300508 00A8 00 081E 910F");

const Instant Start = Instant() + 1h;

std::span<const std::uint8_t> Bytes(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// "update <hex>" or "<reason> <hex>", one entry per event.
QStringList Describe(const std::vector<LineEvent>& events)
{
    QStringList lines;
    for (const LineEvent& event : events) {
        if (const auto* update = std::get_if<ReceivedUpdate>(&event)) {
            lines << "update " + QString::fromStdString(HexBytes(update->record));
        } else {
            const auto& run = std::get<RejectedRun>(event);
            lines << QString::fromStdString(std::string(RejectReasonName(run.reason)) + " " + HexBytes(run.bytes));
        }
    }
    return lines;
}

QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString RecordOf(const QByteArray& update)
{
    return "update " + Hex(update.mid(5));
}

// Bytes with arrival times, then a long quiet line so that nothing stays open.
QStringList Run(const QByteArrayList& chunks, const QList<int>& arrivalsUs)
{
    UpdateReader reader;
    std::vector<LineEvent> events;
    Instant last = Start;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
        last = Start + std::chrono::microseconds(arrivalsUs.value(i));
        auto more = reader.Feed(Bytes(chunks[i]), last);
        events.insert(events.end(), more.begin(), more.end());
    }
    auto rest = reader.Idle(last + 1s);
    events.insert(events.end(), rest.begin(), rest.end());
    return Describe(events);
}

// Splits bytes into single characters one character time apart, as a UART delivers them.
QByteArrayList Characters(const QByteArray& bytes, QList<int>& arrivalsUs, int fromUs)
{
    QByteArrayList chunks;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        chunks << bytes.mid(i, 1);
        arrivalsUs << fromUs + static_cast<int>(i * 1042);
    }
    return chunks;
}

} // namespace

class UpdateReaderTest : public QObject {
    Q_OBJECT

private slots:
    void findsUpdatesAndRejectedRuns_data();
    void findsUpdatesAndRejectedRuns();
    void takesAnUpdateCharacterByCharacter();
    void pauseLongerThanTheLimitCutsTheRecord_data();
    void pauseLongerThanTheLimitCutsTheRecord();
    void idleClosesOnlyAfterThePause();
    void reportsEndlessGarbageInBoundedRuns();
    void everyByteEndsUpSomewhereInOrder();
};

void UpdateReaderTest::findsUpdatesAndRejectedRuns_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QList<int>>("arrivalsUs");
    QTest::addColumn<QStringList>("expected");

    const QString cutRecord = "cut-record " + Hex(Update.left(9));

    QTest::newRow("one update") << QByteArrayList{Update} << QList<int>{0} << QStringList{RecordOf(Update)};
    QTest::newRow("two updates back to back")
        << QByteArrayList{Update + Second} << QList<int>{0} << QStringList{RecordOf(Update), RecordOf(Second)};
    QTest::newRow("garbage before the greeting")
        << QByteArrayList{"\x01\x02xx" + Update} << QList<int>{0}
        << QStringList{"garbage 01 02 78 78", RecordOf(Update)};
    QTest::newRow("garbage, a pause, then an update")
        << QByteArrayList{"noise", Update} << QList<int>{0, 50'000}
        << QStringList{"garbage 6E 6F 69 73 65", RecordOf(Update)};
    QTest::newRow("greeting cut by the next greeting")
        << QByteArrayList{"Hel" + Update} << QList<int>{0} << QStringList{"cut-greeting 48 65 6C", RecordOf(Update)};
    QTest::newRow("a lone H before the greeting")
        << QByteArrayList{"H" + Update} << QList<int>{0} << QStringList{"cut-greeting 48", RecordOf(Update)};
    QTest::newRow("greeting cut by another byte")
        << QByteArrayList{"Hexx" + Update} << QList<int>{0}
        << QStringList{"cut-greeting 48 65", "garbage 78 78", RecordOf(Update)};
    QTest::newRow("greeting cut by a pause")
        << QByteArrayList{"Hel", "lo" + Update} << QList<int>{0, 20'000}
        << QStringList{"cut-greeting 48 65 6C", "garbage 6C 6F", RecordOf(Update)};
    QTest::newRow("record cut by a pause")
        << QByteArrayList{Update.left(9), Update} << QList<int>{0, 20'000} << QStringList{cutRecord, RecordOf(Update)};
    // Without a pause the cut record's length holds part of the next update; those ten bytes
    // are no record, and the next greeting inside them restarts the reading.
    QTest::newRow("record cut by the next update without a pause")
        << QByteArrayList{Update.left(9) + Update} << QList<int>{0} << QStringList{cutRecord, RecordOf(Update)};
    QTest::newRow("record cut by a greeting cut in turn")
        << QByteArrayList{Update.left(12) + "Hel" + Second} << QList<int>{0}
        << QStringList{"cut-record " + Hex(Update.left(12)), "cut-greeting 48 65 6C", RecordOf(Second)};
    QTest::newRow("ten bytes that are no record")
        << QByteArrayList{QByteArray("Hello") + QByteArray(10, '\x77')} << QList<int>{0}
        << QStringList{"malformed-record 48 65 6C 6C 6F 77 77 77 77 77 77 77 77 77 77"};
    QTest::newRow("record holding the greeting's letters is still a record")
        << QByteArrayList{QByteArray::fromHex("48656C6C6F 484812 4865 00 4800 4800")} << QList<int>{0}
        << QStringList{"update 48 48 12 48 65 00 48 00 48 00"};
    QTest::newRow("update cut at the end of the line")
        << QByteArrayList{Update, Second.left(14)} << QList<int>{0, 1'000}
        << QStringList{RecordOf(Update), "cut-record " + Hex(Second.left(14))};
    QTest::newRow("nothing but a greeting") << QByteArrayList{"Hello"} << QList<int>{0}
                                            << QStringList{"cut-record 48 65 6C 6C 6F"};
}

void UpdateReaderTest::findsUpdatesAndRejectedRuns()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QList<int>, arrivalsUs);
    QFETCH(QStringList, expected);
    QCOMPARE(Run(chunks, arrivalsUs), expected);
}

void UpdateReaderTest::takesAnUpdateCharacterByCharacter()
{
    QList<int> arrivals;
    const QByteArrayList chunks = Characters(Update + Second, arrivals, 0);
    QCOMPARE(Run(chunks, arrivals), (QStringList{RecordOf(Update), RecordOf(Second)}));
}

void UpdateReaderTest::pauseLongerThanTheLimitCutsTheRecord_data()
{
    QTest::addColumn<int>("pauseUs");
    QTest::addColumn<bool>("cut");

    const int limitUs = static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(DefaultPauseLimit).count());
    QTest::newRow("one character time") << 1'042 << false;
    QTest::newRow("just within the limit") << limitUs << false;
    QTest::newRow("just beyond the limit") << limitUs + 1 << true;
    QTest::newRow("a long pause") << 500'000 << true;
}

void UpdateReaderTest::pauseLongerThanTheLimitCutsTheRecord()
{
    QFETCH(int, pauseUs);
    QFETCH(bool, cut);

    // The pause falls before the last byte of the record.
    const QStringList events = Run({Update.left(14), Update.right(1)}, {0, pauseUs});
    if (cut)
        QCOMPARE(events, (QStringList{"cut-record " + Hex(Update.left(14)), "garbage 00"}));
    else
        QCOMPARE(events, QStringList{RecordOf(Update)});
}

void UpdateReaderTest::idleClosesOnlyAfterThePause()
{
    UpdateReader reader;
    QVERIFY(!reader.Deadline());
    QVERIFY(reader.Feed(Bytes(Update.left(8)), Start).empty());

    const auto deadline = reader.Deadline();
    QVERIFY(deadline);
    QVERIFY(*deadline > Start + DefaultPauseLimit);
    QVERIFY(reader.Idle(Start + DefaultPauseLimit).empty());
    QCOMPARE(Describe(reader.Idle(*deadline)), QStringList{"cut-record " + Hex(Update.left(8))});
    QVERIFY(!reader.Deadline());

    // A whole update leaves nothing open.
    QCOMPARE(Describe(reader.Feed(Bytes(Update), Start + 1s)), QStringList{RecordOf(Update)});
    QVERIFY(!reader.Deadline());
    QVERIFY(reader.Idle(Start + 1h).empty());
}

void UpdateReaderTest::reportsEndlessGarbageInBoundedRuns()
{
    UpdateReader reader;
    const QByteArray noise(1000, '\x55');
    std::vector<LineEvent> events;
    for (int i = 0; i < noise.size(); i += 10) {
        auto more = reader.Feed(Bytes(noise.mid(i, 10)), Start + std::chrono::microseconds(i * 1042));
        events.insert(events.end(), more.begin(), more.end());
    }
    // Runs come out while the noise goes on, not only when it stops.
    QVERIFY(events.size() >= 3);
    std::size_t total = 0;
    for (const LineEvent& event : events) {
        const auto& run = std::get<RejectedRun>(event);
        QCOMPARE(run.reason, RejectReason::Garbage);
        QVERIFY(run.bytes.size() <= 256);
        total += run.bytes.size();
    }
    for (const LineEvent& event : reader.Idle(Start + 1h))
        total += std::get<RejectedRun>(event).bytes.size();
    QCOMPARE(total, std::size_t(1000));
}

void UpdateReaderTest::everyByteEndsUpSomewhereInOrder()
{
    // Updates, pieces of updates and noise, each piece followed by a pause or not: the events
    // give back every byte once, in the order it came, and every whole update that stands
    // between pauses is found.
    std::mt19937 random(1);
    const QByteArrayList pieces{Update, Second, "Hel", "He", "H", Update.left(11), Second.left(7), "\x00\xFFHx", "lo"};
    for (int round = 0; round < 300; ++round) {
        QByteArray stream;
        int wholeUpdates = 0;
        QList<QByteArray> chunks;
        QList<int> arrivals;
        int now = 0;
        bool pauseBefore = true;
        for (int i = 0; i < 12; ++i) {
            const QByteArray& piece = pieces[static_cast<qsizetype>(random() % pieces.size())];
            const bool pauseAfter = random() % 2 == 0;
            if ((piece == Update || piece == Second) && pauseBefore && pauseAfter)
                ++wholeUpdates;
            stream += piece;
            chunks << piece;
            arrivals << now;
            now += pauseAfter ? 20'000 : 0;
            pauseBefore = pauseAfter;
        }
        UpdateReader reader;
        std::vector<LineEvent> events;
        for (qsizetype i = 0; i < chunks.size(); ++i) {
            auto more = reader.Feed(Bytes(chunks[i]), Start + std::chrono::microseconds(arrivals[i]));
            events.insert(events.end(), more.begin(), more.end());
        }
        auto rest = reader.Idle(Start + 1h);
        events.insert(events.end(), rest.begin(), rest.end());

        QByteArray given;
        int updates = 0;
        for (const LineEvent& event : events) {
            if (const auto* update = std::get_if<ReceivedUpdate>(&event)) {
                given += "Hello";
                given += QByteArray(reinterpret_cast<const char*>(update->record.data()), 10);
                ++updates;
            } else {
                const auto& run = std::get<RejectedRun>(event);
                given += QByteArray(reinterpret_cast<const char*>(run.bytes.data()), static_cast<qsizetype>(run.bytes.size()));
            }
        }
        QCOMPARE(Hex(given), Hex(stream));
        QVERIFY2(updates >= wholeUpdates, qPrintable(Hex(stream)));
    }
}

QTEST_GUILESS_MAIN(UpdateReaderTest)
#include "test_update_reader.moc"
