#pragma once
// An update that a program sent just now, checked the same way whichever program sent it
// (the panel's buttons, tallymark-send): fifteen bytes whose clock is this PC's time of day
// give or take a few seconds, and that are exactly the update the settings make for the
// button, given the clock reading they carry.

#include <QTime>
#include <QtTest>

#include <cstdint>
#include <optional>
#include <vector>

#include "link/DisplayRecord.h"
#include "link/UpdateBytes.h"

namespace tallymark::testing {

// A settings file as an operator's PC holds it, and the values the panel reads from it:
// the day count cut to its three characters.
inline const QByteArray StoredFile = "; workshop sign by the door\r\n"
                                     "[WorkTime]\r\nWorkTimeEnable=1\r\nStartWorkTime=450\r\nEndWorkTime=1200\r\n"
                                     "[Tallymarks]\r\nDDD=12345\r\nDownCount=0\r\n"
                                     "[Bright]\r\nBright=3\r\n";
inline const PanelSettings StoredSettings{"123", true, "3", 1, 450, 1200};

inline std::optional<int> Bcd(std::uint8_t byte)
{
    if ((byte >> 4) > 9 || (byte & 0x0F) > 9)
        return std::nullopt;
    return (byte >> 4) * 10 + (byte & 0x0F);
}

// Fails the running test (and returns) when `bytes` are not that update.
inline void CheckLiveUpdate(const std::vector<std::uint8_t>& bytes, const PanelSettings& settings, std::int16_t index)
{
    QCOMPARE(bytes.size(), std::size_t(15));
    const auto second = Bcd(bytes[5]), minute = Bcd(bytes[6]), hour = Bcd(bytes[7]);
    QVERIFY(second && minute && hour && *hour < 24 && *minute < 60 && *second < 60);
    const QTime sent(*hour, *minute, *second);
    const int apart = qAbs(sent.secsTo(QTime::currentTime()));
    QVERIFY2(apart < 10 || apart > 86390, qPrintable(sent.toString()));
    const auto expected = WholeUpdate(BuildDisplayRecord(settings, index, [&] { return TimeOfDay{*hour, *minute, *second}; }));
    QCOMPARE(QString::fromStdString(HexBytes(bytes)), QString::fromStdString(HexBytes(expected)));
}

} // namespace tallymark::testing
