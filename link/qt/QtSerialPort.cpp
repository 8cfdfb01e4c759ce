#include "link/qt/QtSerialPort.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include <QCoreApplication>
#include <QFile>

#include "link/LineSettings.h"
#include "link/PortNames.h"

#include "link/PosixTty.h"

namespace tallymark {

namespace {

// How long closing waits for Qt's buffer to move on before it gives the rest up.
constexpr int DrainPatienceMs = 10'000;

QSerialPort::Parity QtParity(Parity parity)
{
    switch (parity) {
    case Parity::Even: return QSerialPort::EvenParity;
    case Parity::Odd: return QSerialPort::OddParity;
    case Parity::Mark: return QSerialPort::MarkParity;
    case Parity::Space: return QSerialPort::SpaceParity;
    case Parity::None: break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case StopBits::Two: return QSerialPort::TwoStop;
    case StopBits::One: break;
    }
    return QSerialPort::OneStop;
}

} // namespace

QtSerialPort::QtSerialPort() = default;

QtSerialPort::QtSerialPort(std::string programDirectory) : programDirectory_(std::move(programDirectory)) { }

QtSerialPort::~QtSerialPort()
{
    try {
        Close();
    } catch (const SerialError&) {
        // Going away regardless; the port has been closed all the same.
    }
}

bool QtSerialPort::PortOpen() const
{
    return port_.isOpen();
}

void QtSerialPort::ApplyDtr(bool raised)
{
    posix::SetDtr(port_.handle(), raised);
}

int QtSerialPort::OutBufferCount()
{
    RequireOpen("reading the output count");
    // Bytes Qt could not hand over at once move on here too, so the count falls even when
    // no event loop turns.
    PushToDriver("reading the output count");
    const qint64 pending = port_.bytesToWrite() + posix::PendingOutput(port_.handle());
    return static_cast<int>(std::min<qint64>(pending, std::numeric_limits<int>::max()));
}

void QtSerialPort::DiscardOutput()
{
    RequireOpen("discarding the output");
    // Qt's buffer and the driver's queue both.
    if (!port_.clear(QSerialPort::Output))
        throw SerialError("discarding the output: " + port_.errorString().toStdString());
}

void QtSerialPort::Open()
{
    RequireClosed("opening");
    const LineSettings line = posix::TerminalLineSettings(Settings());
    const std::string device = PortDevicePath(CommPort(), ProgramFolder());
    if (device.empty())
        throw PortOpenError(OpenFailure{OpenRefusal::NoDevice}, Name() + " has no device on this system");

    auto lock = std::make_unique<posix::DeviceLock>(device);
    port_.setPortName(QFile::decodeName(QByteArray::fromStdString(device)));
    port_.setBaudRate(line.baudRate);
    port_.setParity(QtParity(line.parity));
    port_.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits));
    port_.setStopBits(QtStopBits(line.stopBits));
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
    // The panel never reads from the display.
    if (!port_.open(QIODevice::WriteOnly)) {
        // The device lock has opened the device just now; what Qt meets after it is the
        // device going, or its own words.
        OpenFailure failure = port_.error() == QSerialPort::DeviceNotFoundError
                                ? posix::OpenFailureOf(device, ENOENT)
                                : OpenFailure{OpenRefusal::Other, device};
        failure.systemText = port_.errorString().toStdString();
        throw PortOpenError(failure, Name() + " (" + device + "): " + failure.systemText);
    }
    lock_ = std::move(lock);
    try {
        ApplyDtr(DtrEnable());
    } catch (const SerialError&) {
        Close();
        throw;
    }
}

void QtSerialPort::Close()
{
    if (!port_.isOpen())
        return;
    // Qt throws its buffer away on close and restores the earlier line settings at once:
    // everything queued leaves first.
    std::string failure;
    port_.clearError();
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(DrainPatienceMs)) {
            failure = "closing: queued bytes could not be sent: " + port_.errorString().toStdString();
            break;
        }
    }
    if (failure.empty()) {
        try {
            posix::Drain(port_.handle());
        } catch (const SerialError& error) {
            failure = std::string("closing: ") + error.what();
        }
    }
    port_.close();
    lock_.reset();
    if (!failure.empty())
        throw SerialError(failure);
}

void QtSerialPort::Write(const char* data, std::size_t size)
{
    RequireOpen("output");
    if (port_.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size))
        throw SerialError("output: " + port_.errorString().toStdString());
    // Straight on to the driver; what it cannot take now follows as the port becomes ready.
    PushToDriver("output");
}

void QtSerialPort::PushToDriver(std::string_view operation)
{
    port_.clearError();
    if (port_.bytesToWrite() > 0 && posix::ReadyForOutput(port_.handle()))
        port_.flush();
    if (port_.error() == QSerialPort::ResourceError)
        throw SerialError(std::string(operation) + ": " + port_.errorString().toStdString());
}

std::string QtSerialPort::ProgramFolder() const
{
    if (programDirectory_)
        return *programDirectory_;
    if (!QCoreApplication::instance())
        return {};
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

} // namespace tallymark
