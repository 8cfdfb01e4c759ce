#include "link/SerialComponent.h"

#include "link/LineSettings.h"
#include "link/PortNames.h"

namespace tallymark {

void SerialComponent::SetCommPort(std::int16_t port)
{
    RequireClosed("changing the port number");
    if (port < 1 || port > HighestPortNumber)
        throw SerialError("port number " + std::to_string(port) + " is outside 1 to "
                          + std::to_string(HighestPortNumber));
    commPort_ = port;
}

void SerialComponent::SetSettings(const std::string& settings)
{
    RequireClosed("changing the line settings");
    ParseLineSettings(settings);
    settings_ = settings;
}

void SerialComponent::SetPortOpen(bool open)
{
    if (open)
        Open();
    else
        Close();
}

void SerialComponent::SetDTREnable(bool enable)
{
    if (PortOpen())
        ApplyDtr(enable);
    dtrEnable_ = enable;
}

void SerialComponent::Output(std::string_view text)
{
    Write(text.data(), text.size());
}

void SerialComponent::Output(std::span<const std::uint8_t> bytes)
{
    Write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string SerialComponent::Name() const
{
    return PortName(commPort_);
}

void SerialComponent::RequireOpen(std::string_view operation) const
{
    if (!PortOpen())
        throw SerialError(std::string(operation) + ": " + Name() + " is not open");
}

void SerialComponent::RequireClosed(std::string_view operation) const
{
    if (PortOpen())
        throw SerialError(std::string(operation) + ": " + Name() + " is open");
}

} // namespace tallymark
