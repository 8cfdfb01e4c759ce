#include "ui/Form1.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "settings/AnsiCodePage.h"

namespace tallymark {

Form1::Form1(FormView& view, SerialPort& port, SettingsFile& settings, Clock clock,
             std::function<std::string()> timeSeparator)
    : view_(view), port_(port), settings_(settings), clock_(std::move(clock)), timeSeparator_(std::move(timeSeparator)),
      send_(port, *this, clock_)
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
    ScanComPorts(port_, *this);
}

void Form1::Form_Unload(bool& cancel)
{
    bool sending = false;
    try {
        sending = port_.PortOpen();
    } catch (const std::exception&) {
    }
    if (sending) {
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

void Form1::CmdSndClk_Click(std::int16_t index)
{
    send_.CmdSndClk_Click(index);
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

void Form1::SwitchClicked()
{
    view_.SetValue(Control::ChkWEn, NextSwitchValue(view_.Value(Control::ChkWEn)));
    ChkWEn_Click();
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
    view_.SetText(control, std::string(shown));
}

void Form1::SetCountDown(bool down)
{
    // Selecting one button of the pair clears the other.
    view_.SetValue(down ? Control::OptDeD : Control::OptInD, 1);
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

void Form1::ShowMessage(std::string_view text, std::string_view title)
{
    view_.ShowMessage(text, title);
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

void Form1::Clear()
{
    view_.ClearList(Control::ComSele);
}

void Form1::AddItem(const std::string& item)
{
    view_.AddItem(Control::ComSele, item);
}

int Form1::ListCount() const
{
    return view_.ListCount(Control::ComSele);
}

std::string Form1::List(int index) const
{
    return view_.ListItem(Control::ComSele, index);
}

void Form1::SetText(const std::string& text)
{
    view_.SetText(Control::ComSele, text);
}

} // namespace tallymark
