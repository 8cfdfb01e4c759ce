#pragma once
// Where the keyboard focus goes: the tab order of the table of controls, over the enabled
// state and the option pair's selection that the window shows now.

#include <optional>

#include "ui/FormView.h"

namespace tallymark {

// Where Tab (or Shift+Tab) takes the focus from `from`: the next enabled control in the tab
// order that takes the focus, of the option pair only the selected one.
std::optional<Control> NextTabStop(const FormView& view, Control from, bool backwards);
// Where the focus is when the window opens: the first tab stop.
std::optional<Control> FirstTabStop(const FormView& view);
// The option button next to `from` in its container, in tab order, around the end.
Control NextOption(Control from, bool backwards);

} // namespace tallymark
