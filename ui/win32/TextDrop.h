#pragma once
// Text dragged from another program and dropped on the window: the box under the pointer
// takes what the behaviour keeps of it, where it was dropped, as a paste takes it.

#include <windows.h>

#include <functional>
#include <string_view>

namespace tallymark {

// What the window does with a drop at a point of the screen: whether a box there takes text,
// and the drop itself, true where a box took it.
struct TextDrops {
    std::function<bool(POINT)> takes;
    std::function<bool(POINT, std::u16string_view)> drop;
};

// Lets `window` and its controls take dropped text until RefuseTextDrops; false where the
// system refuses (no OLE on this thread).
bool AcceptTextDrops(HWND window, TextDrops drops);
void RefuseTextDrops(HWND window);

// Puts `text` in place of an edit field's selection, as typing does, so that it can be undone.
void ReplaceSelection(HWND box, std::u16string_view text);

} // namespace tallymark
