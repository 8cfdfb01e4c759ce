// Form1's controls set as the program sets them, and the six settings read from them and
// put into them: each value checked as its control checks it, and the handlers its change
// fires run.

#include "settings/Characters.h"
#include "ui/ComboBox.h"
#include "ui/Form1.h"

namespace tallymark {

void Form1::SetSwitch(int value)
{
    if (value < LowestSwitchValue || value > HighestSwitchValue || view_.Value(Control::ChkWEn) == value)
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

} // namespace tallymark
