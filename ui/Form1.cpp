#include "ui/Form1.h"

#include <exception>
#include <utility>
#include <vector>

namespace tallymark {

Form1::Form1(FormView& view, SerialPort& port, SettingsFile& settings, Clock clock,
             std::function<std::string()> timeSeparator)
    : view_(view), port_(port), settings_(settings), clock_(std::move(clock)), timeSeparator_(std::move(timeSeparator)),
      sendWindow_(view, *this), send_(port, sendWindow_, clock_), comSele_(view)
{
}

void Form1::Form_Load()
{
    // A settings file that cannot be read leaves the controls as they were created.
    try {
        settings_.LoadSettings(*this);
    } catch (const std::exception&) {
    }
    ChkWEn_Click();
    ScanComPorts(port_, comSele_);
}

void Form1::Form_Unload(bool& cancel)
{
    if (Sending()) {
        if (view_.AskYesNo(Messages::CloseWhileSending, Messages::CloseWhileSendingTitle))
            send_.Abandon();
        else
            cancel = true;
    }
    // A save that fails goes unreported; the close goes on all the same.
    try {
        settings_.SaveSettings(*this);
    } catch (const std::exception&) {
    }
}

void Form1::Form_EndSession()
{
    // Harmless without a send: the next send starts afresh.
    send_.Abandon();
    try {
        settings_.SaveSettings(*this);
    } catch (const std::exception&) {
    }
}

SendResult Form1::CmdSndClk_Click(std::int16_t index)
{
    const SendResult result = send_.CmdSndClk_Click(index);
    // Ports that came or went during the send are tried now that it has let go of its port
    // (a click refused as busy finds it still held, and they wait on).
    if (!portsToRecheck_.empty()) {
        std::vector<int> numbers;
        numbers.swap(portsToRecheck_);
        PortsChanged(numbers);
    }
    if (const std::optional<Message> message = MessageFor(result))
        view_.ShowMessage(message->text, message->title);
    return result;
}

void Form1::PortsChanged(std::span<const int> numbers)
{
    if (Sending())
        portsToRecheck_.insert(portsToRecheck_.end(), numbers.begin(), numbers.end());
    else
        RecheckComPorts(port_, comSele_, numbers);
}

bool Form1::Sending() const
{
    // The open port is the only busy sign; a component that cannot tell is taken as idle.
    try {
        return port_.PortOpen();
    } catch (const std::exception&) {
        return false;
    }
}

void Form1::CmdExit_Click()
{
    view_.RequestClose();
}

void Form1::Timer1_Timer()
{
    const std::string text = ClockText(clock_(), timeSeparator_());
    // The same text again would only repaint the box.
    if (view_.Text(Control::TxtTime) != text)
        view_.SetText(Control::TxtTime, text);
}

void Form1::ChkWEn_Click()
{
    const bool enabled = view_.Value(Control::ChkWEn) != 0;
    for (Control control : {Control::TxtSTime, Control::TxtETime, Control::VScSTime, Control::VScETime})
        view_.SetEnabled(control, enabled);
}

void Form1::VScSTime_Change()
{
    view_.SetText(Control::TxtSTime, TimeText(view_.Value(Control::VScSTime)));
}

void Form1::VScETime_Change()
{
    view_.SetText(Control::TxtETime, TimeText(view_.Value(Control::VScETime)));
}

void Form1::TxtSTime_LostFocus()
{
    Commit(Control::TxtSTime, Control::VScSTime);
}

void Form1::TxtETime_LostFocus()
{
    Commit(Control::TxtETime, Control::VScETime);
}

void Form1::Commit(Control box, Control spinner)
{
    if (const std::optional<int> minute = CommitTypedTime(view_.Text(box)))
        SetSpinner(spinner, *minute);
    view_.SetText(box, TimeText(view_.Value(spinner)));
}

} // namespace tallymark
