#pragma once
// Whole files as bytes, for tests that set up a file and compare it afterwards.

#include <QFile>
#include <QString>
#include <QtTest>

#include <string>
#include <string_view>

namespace tallymark::testing {

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Replaces the file's content; a test that cannot set up its file fails there.
inline void WriteAll(const QString& path, std::string_view bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// Bytes readable in a failure message: line ends and other control bytes as %XX.
inline QByteArray Printable(std::string_view bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toPercentEncoding(" []=;\"'");
}

} // namespace tallymark::testing
