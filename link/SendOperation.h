#pragma once
// The send: a click on either send button opens the chosen port, queues the greeting and
// the record, waits while the window keeps handling its events until every byte has left,
// and closes the port. The open state of the port is the only busy sign.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/LocalClock.h"
#include "link/PanelSettings.h"
#include "link/SerialPort.h"

namespace tallymark {

// 9600 baud, no parity, 8 data bits, 1 stop bit: set before every opening.
inline constexpr std::string_view DisplayLineSettings = "9600,n,8,1";

// What the send needs of the window.
class SendWindow {
public:
    virtual ~SendWindow() = default;

    // The editable text of ComSele.
    virtual std::string ComSeleText() const = 0;
    // ProgressBar1; each may refuse a value by throwing.
    virtual void SetProgressMax(int value) = 0;
    virtual void SetProgressMin(int value) = 0;
    virtual void SetProgressValue(int value) = 0;
    // Dispatch every pending window event; when none is pending, wait for one about a
    // millisecond at most, so that a waiting send does not spin a core.
    virtual void DoEvents() = 0;
    // The controls' current values, read at the moment the record is built.
    virtual PanelSettings CurrentSettings() const = 0;
};

namespace Messages {
inline constexpr std::string_view Busy = "現在送信中。";
inline constexpr std::string_view BusyTitle = "少待";
inline constexpr std::string_view BadPortName = "接続端子位地設定エラー!";
inline constexpr std::string_view BadPortNameTitle = "エラー発生";
inline constexpr std::string_view OpenFailed = "接続端子がすでに使用中か、存在しません";
inline constexpr std::string_view OpenFailedTitle = "警告";
inline constexpr std::string_view NotOpen = "接続端子連結失敗!";
inline constexpr std::string_view NotOpenTitle = "エラー発生";
} // namespace Messages

// How a click on a send button ended.
enum class SendResult {
    Sent, // the update has left the port, or the line stopped answering how much is left
    Busy, // a send was already under way: nothing else happened
    BadPortName, // ComSele does not name a port COM1 to COM32
    PortRefused, // the port is in use by another program or does not exist
    PortNotOpen, // the port did not stay open
    GivenUp, // the window went away under the send, which gave up what had not left
};

// The message box a result gets in the window: none for a send that went or was given up.
struct Message {
    std::string_view text;
    std::string_view title;
};
std::optional<Message> MessageFor(SendResult result);

class SendOperation {
public:
    SendOperation(SerialPort& port, SendWindow& window, Clock clock);

    // The click handler of both CmdSndClk buttons, with the clicked button's index. The port
    // is closed again when it returns.
    SendResult CmdSndClk_Click(std::int16_t index);

    // Sets CommPort and Settings from ComSele's text; false when the text is not a port name.
    bool ReadComSet();

    // Opens the port, queues the update and waits for it to drain. The caller closes.
    SendResult SendClk(std::int16_t index);

    // The window is going away under a send: the drain wait ends at its next turn, what has
    // not left yet is thrown away, and nothing more is sent or shown. The click handler still
    // closes the port.
    void Abandon();

    // Why the port refused the last click's open, where the component said: with
    // PortRefused, and empty after any other result.
    const std::optional<OpenFailure>& Refusal() const { return refusal_; }

private:
    SerialPort& port_;
    SendWindow& window_;
    Clock clock_;
    bool abandoned_ = false;
    std::optional<OpenFailure> refusal_;
};

} // namespace tallymark
