#pragma once
// What a drop-down combo box's list does, the same under every toolkit.

#include <string>

#include "ui/FormView.h"

namespace tallymark {

// A combo box's list keeps its selection on the item of the text it shows, so that the
// drop-down opens on it: the first item that is the same text, or none.
void SelectItemOf(FormView& view, Control combo, const std::string& text);

} // namespace tallymark
