#include "send/WatchedPort.h"

#include <exception>

namespace tallymark::command {

// Runs one call of the component; a failure is kept (the first one only) and passed on.
template <typename Step>
auto WatchedPort::Watch(std::string& error, Step&& step)
{
    try {
        return step();
    } catch (const std::exception& failure) {
        if (error.empty())
            error = failure.what();
        throw;
    }
}

void WatchedPort::RefuseAfterFailure() const
{
    if (!sendError_.empty())
        throw SerialError("nothing more is sent after a failure");
}

void WatchedPort::SetCommPort(std::int16_t port)
{
    Watch(openError_, [&] { port_.SetCommPort(port); });
}

void WatchedPort::SetSettings(const std::string& settings)
{
    Watch(openError_, [&] { port_.SetSettings(settings); });
}

void WatchedPort::SetPortOpen(bool open)
{
    Watch(open ? openError_ : sendError_, [&] { port_.SetPortOpen(open); });
}

void WatchedPort::SetDTREnable(bool enable)
{
    Watch(openError_, [&] { port_.SetDTREnable(enable); });
}

void WatchedPort::Output(std::string_view text)
{
    RefuseAfterFailure();
    Watch(sendError_, [&] { port_.Output(text); });
}

void WatchedPort::Output(std::span<const std::uint8_t> bytes)
{
    RefuseAfterFailure();
    Watch(sendError_, [&] { port_.Output(bytes); });
}

int WatchedPort::OutBufferCount()
{
    return Watch(sendError_, [&] { return port_.OutBufferCount(); });
}

void WatchedPort::DiscardOutput()
{
    Watch(sendError_, [&] { port_.DiscardOutput(); });
}

} // namespace tallymark::command
