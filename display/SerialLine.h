#pragma once
// The display's end of the serial line: the master side of a pseudo-terminal that a panel
// opens as its port, or a real serial device at the end of a null-modem cable.

#include <string>

#include "display/UniqueFd.h"

namespace tallymark::display {

class SerialLine {
public:
    // A new pseudo-terminal whose terminal side is set to 9600 baud 8N1 without any line
    // processing, so that every byte reaches the display as the panel wrote it. Throws
    // std::system_error.
    static SerialLine CreatePseudoTerminal();

    // A serial device, opened for reading and set to 9600 baud 8N1. Throws std::system_error.
    static SerialLine OpenDevice(const std::string& path);

    // Non-blocking descriptor to read the line's bytes from.
    int ReadDescriptor() const { return m_readFd.Get(); }
    // What a sender opens: the pseudo-terminal's terminal side, or the device itself.
    const std::string& SenderPath() const { return m_senderPath; }

private:
    SerialLine(UniqueFd readFd, UniqueFd keptFd, std::string senderPath);

    UniqueFd m_readFd;
    // The terminal side held open, so that the line stays up between a panel's sends
    // instead of hanging up each time the panel closes its port.
    UniqueFd m_keptFd;
    std::string m_senderPath;
};

} // namespace tallymark::display
