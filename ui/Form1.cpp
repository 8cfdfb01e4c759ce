#include "ui/Form1.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "settings/AnsiCodePage.h"

namespace tallymark {

namespace {

// A combo box's list keeps its selection on the item of the text it shows, so that the
// drop-down opens on it: the first item that is the same text, or none.
void SelectItemOf(FormView& view, Control combo, const std::string& text)
{
    int match = -1;
    for (int i = 0, count = view.ListCount(combo); i < count && match < 0; ++i)
        if (view.ListItem(combo, i) == text)
            match = i;
    view.SetListIndex(combo, match);
}

} // namespace

std::string SaveFailedText(const SaveOutcome& outcome)
{
    return std::string(Messages::SaveFailed) + "\n" + PathToUtf8(outcome.path) + "\n" + outcome.reason;
}

Form1::Form1(FormView& view, SerialPort& port, SettingsFile& settings, Clock clock,
             std::function<std::string()> timeSeparator)
    : view_(view), port_(port), settings_(settings), clock_(std::move(clock)), timeSeparator_(std::move(timeSeparator)),
      send_(port, *this, clock_), comSele_(view)
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
    if (const std::optional<Message> message = MessageFor(result))
        view_.ShowMessage(message->text, message->title);
    return result;
}

void Form1::PortsChanged(std::span<const int> numbers, const PortExists& exists)
{
    if (Sending())
        portsToRecheck_.emplace_back(std::vector<int>(numbers.begin(), numbers.end()), exists);
    else
        RecheckComPorts(port_, comSele_, numbers, exists);
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

void Form1::Clicked(Control control)
{
    const ControlRow& row = RowOf(control);
    switch (row.kind) {
    case ControlKind::CommandButton:
        if (control == Control::CmdExit)
            CmdExit_Click();
        else
            CmdSndClk_Click(row.index);
        break;
    case ControlKind::CheckBox:
        view_.SetValue(control, NextSwitchValue(view_.Value(control)));
        ChkWEn_Click();
        break;
    case ControlKind::OptionButton: SetCountDown(control == Control::OptDeD); break;
    default: break;
    }
}

bool Form1::KeyPressed(Control control, Key key)
{
    const ControlKind kind = RowOf(control).kind;
    if (key == Key::Enter) {
        if (kind != ControlKind::CommandButton)
            return false;
        Clicked(control);
        return true;
    }
    if (kind == ControlKind::OptionButton) {
        const Control next = NextOption(control, key == Key::Up || key == Key::Left);
        view_.SetFocus(next);
        Clicked(next);
        return true;
    }
    return kind == ControlKind::CommandButton || kind == ControlKind::CheckBox;
}

void Form1::ItemChosen(Control combo, int index)
{
    if (index < 0 || index >= view_.ListCount(combo))
        return;
    view_.SetListIndex(combo, index);
    view_.SetText(combo, view_.ListItem(combo, index));
}

void Form1::SpinnerMoved(Control spinner, SpinAction action)
{
    SetSpinner(spinner, MinuteAfter(view_.Value(spinner), action));
}

void Form1::FocusMoved(Control from, std::optional<Control> to)
{
    // A typed time counts once the focus has gone to another control of this window.
    if (!to || *to == from)
        return;
    if (from == Control::TxtSTime)
        TxtSTime_LostFocus();
    else if (from == Control::TxtETime)
        TxtETime_LostFocus();
}

namespace {

// The controls that have a tab index, in tab order.
std::vector<const ControlRow*> TabOrder()
{
    std::vector<const ControlRow*> order;
    for (const ControlRow& row : Controls())
        if (row.tabIndex >= 0)
            order.push_back(&row);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

} // namespace

std::optional<Control> Form1::NextTabStop(Control from, bool backwards) const
{
    const std::vector<const ControlRow*> order = TabOrder();
    const auto isStop = [this](const ControlRow& row) {
        return TakesFocus(row.kind) && view_.Enabled(row.id)
            && (row.kind != ControlKind::OptionButton || view_.Value(row.id) == 1);
    };
    const auto here = std::find_if(order.begin(), order.end(), [&](auto* row) { return row->id == from; });
    const std::size_t at = here == order.end() ? order.size() - 1 : static_cast<std::size_t>(here - order.begin());
    const std::size_t count = order.size();
    for (std::size_t step = 1; step <= count; ++step) {
        const std::size_t next = backwards ? (at + count - step) % count : (at + step) % count;
        if (isStop(*order[next]))
            return order[next]->id;
    }
    return std::nullopt;
}

Control Form1::NextOption(Control from, bool backwards) const
{
    // The option buttons of the same container, in tab order, the last followed by the first.
    std::vector<Control> options;
    for (const ControlRow* row : TabOrder())
        if (row->kind == ControlKind::OptionButton && row->container == RowOf(from).container)
            options.push_back(row->id);
    const auto at = static_cast<std::size_t>(std::find(options.begin(), options.end(), from) - options.begin());
    const std::size_t count = options.size();
    return options[backwards ? (at + count - 1) % count : (at + 1) % count];
}

std::optional<Control> Form1::FirstTabStop() const
{
    // From the last place in the order, the next stop is the first.
    return NextTabStop(TabOrder().back()->id, false);
}

void Form1::SetSwitch(int value)
{
    if (value < 0 || value > 2 || view_.Value(Control::ChkWEn) == value)
        return;
    view_.SetValue(Control::ChkWEn, value);
    ChkWEn_Click();
}

void Form1::SetSpinner(Control spinner, int minute)
{
    if (minute < FirstMinuteOfDay || minute > LastMinuteOfDay || view_.Value(spinner) == minute)
        return;
    view_.SetValue(spinner, minute);
    if (spinner == Control::VScSTime)
        VScSTime_Change();
    else
        VScETime_Change();
}

void Form1::SetControlText(Control control, const std::string& text)
{
    // A text ends at its first NUL character, and a box keeps no more than its length.
    std::string_view shown = std::string_view(text).substr(0, text.find('\0'));
    if (const int length = RowOf(control).maxLength; length > 0)
        shown = FirstCharacters(shown, static_cast<std::size_t>(length));
    if (RowOf(control).kind == ControlKind::ComboBox)
        SelectItemOf(view_, control, std::string(shown));
    view_.SetText(control, std::string(shown));
}

void Form1::SetCountDown(bool down)
{
    view_.SetValue(Control::OptDeD, down ? 1 : 0);
    view_.SetValue(Control::OptInD, down ? 0 : 1);
}

PanelSettings Form1::Settings() const
{
    PanelSettings settings;
    settings.dayCountText = view_.Text(Control::TxtDJS);
    settings.countUp = view_.Value(Control::OptInD) != 0;
    settings.brightnessText = view_.Text(Control::ComBright);
    settings.workTimeSwitch = static_cast<std::int16_t>(view_.Value(Control::ChkWEn));
    settings.workStart = static_cast<std::int16_t>(view_.Value(Control::VScSTime));
    settings.workEnd = static_cast<std::int16_t>(view_.Value(Control::VScETime));
    return settings;
}

void Form1::Put(Setting which, const PanelSettings& values)
{
    switch (which) {
    case Setting::WorkTimeEnable: SetSwitch(values.workTimeSwitch); break;
    case Setting::StartWorkTime: SetSpinner(Control::VScSTime, values.workStart); break;
    case Setting::EndWorkTime: SetSpinner(Control::VScETime, values.workEnd); break;
    case Setting::DayCount: SetControlText(Control::TxtDJS, values.dayCountText); break;
    case Setting::DownCount: SetCountDown(!values.countUp); break;
    case Setting::Bright: SetControlText(Control::ComBright, values.brightnessText); break;
    }
}

std::string Form1::ComSeleText() const
{
    return view_.Text(Control::ComSele);
}

// The progress bar refuses a range whose maximum is not above its minimum, and a value
// outside its range, as the common-controls progress bar does.
void Form1::SetProgressMax(int value)
{
    const int minimum = view_.Minimum(Control::ProgressBar1);
    if (value <= minimum)
        throw std::out_of_range("progress maximum not above the minimum");
    view_.SetRange(Control::ProgressBar1, minimum, value);
}

void Form1::SetProgressMin(int value)
{
    const int maximum = view_.Maximum(Control::ProgressBar1);
    if (value >= maximum)
        throw std::out_of_range("progress minimum not below the maximum");
    view_.SetRange(Control::ProgressBar1, value, maximum);
}

void Form1::SetProgressValue(int value)
{
    if (value < view_.Minimum(Control::ProgressBar1) || value > view_.Maximum(Control::ProgressBar1))
        throw std::out_of_range("progress value outside its range");
    view_.SetValue(Control::ProgressBar1, value);
}

void Form1::DoEvents()
{
    view_.DoEvents();
}

PanelSettings Form1::CurrentSettings() const
{
    return Settings();
}

void ComSeleList::Clear()
{
    view_.ClearList(Control::ComSele);
}

void ComSeleList::AddItem(const std::string& item)
{
    view_.AddItem(Control::ComSele, item);
    SelectItemOf(view_, Control::ComSele, Text());
}

void ComSeleList::InsertItem(int index, const std::string& item)
{
    view_.InsertItem(Control::ComSele, index, item);
    SelectItemOf(view_, Control::ComSele, Text());
}

void ComSeleList::RemoveItem(int index)
{
    view_.RemoveItem(Control::ComSele, index);
    SelectItemOf(view_, Control::ComSele, Text());
}

std::string ComSeleList::Text() const
{
    return view_.Text(Control::ComSele);
}

int ComSeleList::ListCount() const
{
    return view_.ListCount(Control::ComSele);
}

std::string ComSeleList::List(int index) const
{
    return view_.ListItem(Control::ComSele, index);
}

void ComSeleList::SetText(const std::string& text)
{
    SelectItemOf(view_, Control::ComSele, text);
    view_.SetText(Control::ComSele, text);
}

} // namespace tallymark
