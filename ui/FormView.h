#pragma once
// What Form1's behaviour needs of a window toolkit: the controls of the table, read and set
// through their text, value, enabled state and ComSele's list, the message boxes, the event
// dispatch of a send's drain wait, and a close request. Everything else is the behaviour's.
//
// Setting a control through the view runs no handler and sets that one widget, nothing
// else: the behaviour applies every rule itself (which option clears which, what a combo
// box selects, what a spinner or the switch may hold) and runs the change and click
// handlers where a program's change fires them, so that both toolkits behave alike. The view
// reports what the operator does and changes no value on its own.

#include <string>
#include <string_view>

#include "ui/Controls.h"

namespace tallymark {

// A key the behaviour decides on itself, wherever the focus is.
enum class Key { Enter, Left, Right, Up, Down, PageUp, PageDown };

// The modifier keys held down with a key, as the toolkit reports them.
struct KeyModifiers {
    bool shift = false, ctrl = false, alt = false, meta = false;
};

class FormView {
public:
    virtual ~FormView() = default;

    // Caption of a label or button; text of a text box; editable text of a combo box (UTF-8).
    virtual std::string Text(Control control) const = 0;
    // Sets it as it is; the behaviour has already cut it to the box's length. A combo box's
    // list keeps the item it has selected.
    virtual void SetText(Control control, const std::string& text) = 0;

    // ChkWEn 0, 1 or 2 (greyed); a spinner's minute of day 0 to 1439; an option button 1
    // when selected; ProgressBar1's value. The behaviour sets only values the control holds.
    virtual int Value(Control control) const = 0;
    virtual void SetValue(Control control, int value) = 0;

    virtual bool Enabled(Control control) const = 0;
    virtual void SetEnabled(Control control, bool enabled) = 0;

    // ProgressBar1's range.
    virtual int Minimum(Control control) const = 0;
    virtual int Maximum(Control control) const = 0;
    virtual void SetRange(Control control, int minimum, int maximum) = 0;

    // A combo box's list. Clearing empties its text too; adding, inserting and removing leave
    // the text as it is, the text being typed included, and an open drop-down open.
    virtual void ClearList(Control control) = 0;
    virtual void AddItem(Control control, const std::string& item) = 0;
    virtual void InsertItem(Control control, int index, const std::string& item) = 0;
    virtual void RemoveItem(Control control, int index) = 0;
    virtual int ListCount(Control control) const = 0;
    virtual std::string ListItem(Control control, int index) const = 0;
    // The item selected in the list, -1 for none; selecting leaves the text as it is.
    virtual int ListIndex(Control control) const = 0;
    virtual void SetListIndex(Control control, int index) = 0;
    // Whether the combo box's drop-down list is open.
    virtual bool DroppedDown(Control control) const = 0;

    // The text shown while the pointer rests on the control (UTF-8); none when empty.
    virtual void SetToolTip(Control control, const std::string& text) = 0;

    // The control that has the keyboard focus now gives it to `control`.
    virtual void SetFocus(Control control) = 0;

    // A modal message box with the exclamation icon and one OK button.
    virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
    // A modal message box with the exclamation icon, Yes and No, Yes the default; true for Yes.
    // Only the two buttons answer: Escape and the box's close button do nothing.
    virtual bool AskYesNo(std::string_view text, std::string_view title) = 0;

    // Dispatches every pending window event; when none is pending, waits for the next one a
    // millisecond at most, so that a send waiting for its bytes does not spin a core.
    virtual void DoEvents() = 0;

    // Asks the window to close, exactly as its close box does; the toolkit then calls
    // Form_Unload, which decides.
    virtual void RequestClose() = 0;
};

// Sets a control as the table has it when the window is made: a text box's text, a combo
// box's list, selected item and text, the value of the switch, of an option button and of a
// spinner, and the empty progress bar. The captions of labels, frames and buttons are the
// view's to give as it makes them.
void ShowAsCreated(FormView& view, const ControlRow& row);

} // namespace tallymark
