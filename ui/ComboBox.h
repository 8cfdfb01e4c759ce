#pragma once
// What a drop-down combo box's list does, the same under every toolkit.

#include <optional>
#include <string>

#include "ui/FormView.h"

namespace tallymark {

// A combo box's list keeps its selection on the item of the text it shows, so that the
// drop-down opens on it: the first item that is the same text, or none.
void SelectItemOf(FormView& view, Control combo, const std::string& text);

// The first item that begins with `text`, ignoring the case of ASCII letters, as a Windows
// list box finds a string; -1 for none, and for an empty text.
int FindItem(const FormView& view, Control combo, const std::string& text);

// The item a key in the closed box chooses, as a Windows drop-down combo has it: Up and Down
// move one item from the one its text finds, Page Up and Page Down a page of the drop-down
// less one, and none goes past either end. With no item found, the list has no item under
// its focus but the first, and any of these keys chooses that one. Nothing for an empty list
// or another key (Home and End move in the text).
std::optional<int> ItemAfterKey(const FormView& view, Control combo, Key key);

} // namespace tallymark
