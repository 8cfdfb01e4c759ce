#include "ui/Form1.h"

#include <exception>
#include <utility>
#include <vector>

#include "os/Process.h"
#include "settings/AnsiCodePage.h"

namespace tallymark {

std::string SaveFailedText(const SaveOutcome& outcome)
{
    return std::string(Messages::SaveFailed) + "\n" + PathToUtf8(outcome.path) + "\n" + outcome.reason;
}

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
    refusedAtStart_ = ScanComPorts(port_, comSele_);
    // Nothing is shown at start: the pointer on the empty box finds out why it is empty.
    if (comSele_.ListCount() == 0 && !refusedAtStart_.empty())
        view_.SetToolTip(Control::ComSele, OpenFailureParagraph(refusedAtStart_, UserName()));
    else
        refusedAtStart_.clear();
}

void Form1::Form_Unload(bool& cancel)
{
    if (life_ == Life::Ended)
        return;
    // A second request (taskkill posts one to every window of the program) would put a
    // second question over the first and save under it.
    if (life_ == Life::Asking) {
        cancel = true;
        return;
    }
    if (Sending()) {
        life_ = Life::Asking;
        const bool yes = view_.AskYesNo(Messages::CloseWhileSending, Messages::CloseWhileSendingTitle);
        // The session ended under the question, and its end has saved what the window showed;
        // the window, the question with it, may be gone.
        if (life_ == Life::Ended)
            return;
        life_ = Life::Open;
        if (yes)
            send_.Abandon();
        else
            cancel = true;
    }
    // A save that fails is told once the window is about to close; the close goes on all
    // the same. A cancelled close leaves the window to save again at the next one.
    const SaveOutcome saved = Save(*this);
    if (saved.where == SavedTo::Nowhere && !cancel)
        view_.ShowMessage(SaveFailedText(saved), Messages::SaveFailedTitle);
    if (!cancel)
        life_ = Life::Ended;
}

SessionStep Form1::SessionChanged(SessionEvent event)
{
    switch (event) {
    case SessionEvent::EndAsked: Form_QueryEndSession(); break;
    case SessionEvent::EndRefused: break;
    case SessionEvent::Ends: Form_EndSession(); return SessionStep::EndProgram;
    case SessionEvent::ProcessEnds: Form_EndSession(); break;
    }
    return SessionStep::Nothing;
}

void Form1::Form_QueryEndSession()
{
    // Saved now in case the end comes without time for its own save; nothing can be shown.
    if (life_ != Life::Ended)
        Save(*this);
}

void Form1::Form_EndSession()
{
    if (life_ == Life::Ended)
        return;
    // Read first: once this returns the window goes, and a question still asking with it.
    StoredSettings shown;
    shown.values = Settings();
    life_ = Life::Ended;
    // Harmless without a send: a send starts afresh.
    send_.Abandon();
    Save(shown);
    // Windows ends the process once the end is answered, and exit() unwinds nothing: the
    // send under way cannot close its port, and it is closed here, what has not left given up.
    if (Sending()) {
        try {
            port_.DiscardOutput();
        } catch (const std::exception&) {
        }
        try {
            port_.SetPortOpen(false);
        } catch (const std::exception&) {
        }
    }
}

SaveOutcome Form1::Save(const SettingsHolder& from)
{
    try {
        return settings_.SaveSettings(from);
    } catch (const std::exception& error) {
        return {SavedTo::Nowhere, {}, error.what()};
    }
}

SendResult Form1::CmdSndClk_Click(std::int16_t index)
{
    const SendResult result = send_.CmdSndClk_Click(index);
    // Ports that came or went during the send are tried now that it has let go of its port
    // (a click refused as busy finds it still held, and they wait on).
    std::vector<std::pair<std::vector<int>, PortExists>> changes;
    changes.swap(portsToRecheck_);
    for (const auto& [numbers, exists] : changes)
        PortsChanged(numbers, exists);
    if (const std::optional<Message> message = MessageFor(result)) {
        const std::string paragraph = RefusalParagraph(result);
        view_.ShowMessage(paragraph.empty() ? std::string(message->text)
                                            : std::string(message->text) + "\n\n" + paragraph,
                          message->title);
    }
    return result;
}

std::string Form1::RefusalParagraph(SendResult result) const
{
    if (result == SendResult::PortRefused && send_.Refusal())
        return OpenFailureParagraph(std::span(&*send_.Refusal(), 1), UserName());
    if (result == SendResult::BadPortName && !refusedAtStart_.empty() && view_.Text(Control::ComSele).empty())
        return OpenFailureParagraph(refusedAtStart_, UserName());
    return {};
}

void Form1::PortsChanged(std::span<const int> numbers, const PortExists& exists)
{
    if (Sending())
        portsToRecheck_.emplace_back(std::vector<int>(numbers.begin(), numbers.end()), exists);
    else
        RecheckComPorts(port_, comSele_, numbers, exists);
    if (!refusedAtStart_.empty() && comSele_.ListCount() > 0) {
        refusedAtStart_.clear();
        view_.SetToolTip(Control::ComSele, {});
    }
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
