#include "link/SendOperation.h"

#include <exception>
#include <span>

#include "link/DisplayRecord.h"
#include "link/PortNames.h"

namespace tallymark {

namespace {

// A step of the sending phase: an error skips it silently and the next step runs.
template <typename Step>
void Tolerant(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

std::optional<Message> MessageFor(SendResult result)
{
    switch (result) {
    case SendResult::Busy: return Message{Messages::Busy, Messages::BusyTitle};
    case SendResult::BadPortName: return Message{Messages::BadPortName, Messages::BadPortNameTitle};
    case SendResult::PortRefused: return Message{Messages::OpenFailed, Messages::OpenFailedTitle};
    case SendResult::PortNotOpen: return Message{Messages::NotOpen, Messages::NotOpenTitle};
    case SendResult::Sent:
    case SendResult::GivenUp: break;
    }
    return std::nullopt;
}

SendOperation::SendOperation(SerialPort& port, SendWindow& window, Clock clock)
    : port_(port), window_(window), clock_(std::move(clock))
{
}

SendResult SendOperation::CmdSndClk_Click(std::int16_t index)
{
    refusal_.reset();
    if (port_.PortOpen())
        return SendResult::Busy;
    try {
        if (!ReadComSet())
            return SendResult::BadPortName;
    } catch (const std::exception&) {
        // The component refused the port number or the line settings: nothing is sent.
        return SendResult::PortRefused;
    }
    const SendResult result = SendClk(index);
    // Closing drains first; a port that fails even to close has been let go of all the same.
    Tolerant([&] { port_.SetPortOpen(false); });
    return result;
}

bool SendOperation::ReadComSet()
{
    const std::int16_t number = PortNumberOf(window_.ComSeleText());
    if (number == 0)
        return false;
    port_.SetCommPort(number);
    port_.SetSettings(std::string(DisplayLineSettings));
    return true;
}

SendResult SendOperation::SendClk(std::int16_t index)
{
    abandoned_ = false;

    // Opening phase: any error ends it with one message.
    try {
        port_.SetPortOpen(true);
        if (port_.PortOpen()) {
            port_.SetDTREnable(true);
        } else {
            port_.SetDTREnable(false);
            return SendResult::PortNotOpen;
        }
    } catch (const PortOpenError& error) {
        refusal_ = error.Failure();
        return SendResult::PortRefused;
    } catch (const std::exception&) {
        return SendResult::PortRefused;
    }

    // Sending phase: a failing step is skipped and the next one runs.
    Tolerant([&] { window_.SetProgressMax(2); });
    Tolerant([&] { window_.SetProgressMin(0); });
    Tolerant([&] { window_.SetProgressValue(1); });
    Tolerant([&] { port_.Output(Greeting); });
    Tolerant([&] { window_.SetProgressValue(2); });
    DisplayRecord record{};
    Tolerant([&] { record = BuildDisplayRecord(window_.CurrentSettings(), index, clock_); });
    Tolerant([&] { port_.Output(std::span<const std::uint8_t>(record)); });

    // Drain wait: window events keep flowing until the count is 0 or cannot be read.
    for (;;) {
        window_.DoEvents();
        if (abandoned_) {
            // The operator chose to close under a send: the rest of it is given up, so that
            // closing the port cannot wait on a line that has stopped.
            Tolerant([&] { port_.DiscardOutput(); });
            return SendResult::GivenUp;
        }
        int pending = 0;
        try {
            pending = port_.OutBufferCount();
        } catch (const std::exception&) {
            break;
        }
        if (pending == 0)
            break;
    }
    Tolerant([&] { window_.SetProgressValue(0); });
    return SendResult::Sent;
}

void SendOperation::Abandon()
{
    abandoned_ = true;
}

} // namespace tallymark
