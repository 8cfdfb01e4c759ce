// Form1's rules for what the operator does, as either toolkit reports it: clicks, keys,
// choices from a list, spinner moves and the focus moving on. Each runs the handlers that
// the change fires; the toolkit changes no value by itself.

#include "ui/ComboBox.h"
#include "ui/Form1.h"
#include "ui/SingleLine.h"
#include "ui/TabOrder.h"

namespace tallymark {

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

bool Form1::WheelTurned(Control control, bool up)
{
    return RowOf(control).kind == ControlKind::ComboBox && KeyPressed(control, up ? Key::Up : Key::Down);
}

bool Form1::KeyPressed(Control control, Key key, KeyModifiers modifiers)
{
    if (modifiers.alt || modifiers.meta)
        return false;
    const ControlKind kind = RowOf(control).kind;
    if ((modifiers.shift || modifiers.ctrl) && kind != ControlKind::ComboBox)
        return false;
    if (key == Key::Enter) {
        if (kind != ControlKind::CommandButton)
            return false;
        Clicked(control);
        return true;
    }
    if (kind == ControlKind::ComboBox) {
        // An open drop-down moves its own selection; Left and Right move in the text.
        if (view_.DroppedDown(control) || key == Key::Left || key == Key::Right)
            return false;
        if (const std::optional<int> item = ItemAfterKey(view_, control, key))
            ItemChosen(control, *item);
        return true;
    }
    // A page move is the spinners' and the text boxes' own.
    if (key == Key::PageUp || key == Key::PageDown)
        return false;
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

std::optional<Control> Form1::NextTabStop(Control from, bool backwards) const
{
    return tallymark::NextTabStop(view_, from, backwards);
}

std::optional<Control> Form1::FirstTabStop() const
{
    return tallymark::FirstTabStop(view_);
}

std::optional<std::u16string> Form1::TextPutIn(Control box, std::u16string_view text) const
{
    if (!TakesText(RowOf(box)))
        return std::nullopt;
    return KeepFirstLine(text, text.size()).text;
}

} // namespace tallymark
