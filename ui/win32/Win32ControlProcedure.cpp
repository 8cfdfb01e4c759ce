// The controls' own procedure, added to each control that takes the focus: where the focus
// goes, and text pasted or dropped into a box, of which Form1 says what it keeps.

#include "ui/win32/Win32Form.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "ui/win32/TextDrop.h"

namespace tallymark {

namespace {

// The window a control's focus and typing go to: a combo box's edit field, or the control.
HWND FocusWindowOf(const ControlRow& row, HWND window)
{
    if (row.kind == ControlKind::ComboBox) {
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (GetComboBoxInfo(window, &parts) && parts.hwndItem)
            return parts.hwndItem;
    }
    return window;
}

} // namespace

void Win32Form::ListenToControls()
{
    for (const ControlRow& row : Controls())
        if (TakesFocus(row.kind) && Hwnd(row.id))
            SetWindowSubclass(FocusWindowOf(row, Hwnd(row.id)), ControlProcedure, static_cast<UINT_PTR>(row.id),
                              reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Win32Form::ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR data)
{
    auto* self = reinterpret_cast<Win32Form*>(data);
    const auto control = static_cast<Control>(id);
    try {
        switch (message) {
        case WM_SETFOCUS: self->lastFocus_ = self->Hwnd(control); break;
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            self->form_.FocusMoved(control, self->ControlOf(reinterpret_cast<HWND>(wParam)));
            return result;
        }
        case WM_PASTE:
            if (self->Paste(control, window))
                return 0;
            break;
        case WM_NCDESTROY: RemoveWindowSubclass(window, ControlProcedure, id); break;
        default: break;
        }
    } catch (...) {
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool Win32Form::Paste(Control control, HWND box)
{
    if (!form_.TextPutIn(control, {}))
        return false;
    std::wstring clipboard;
    if (!OpenClipboard(box))
        return true;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            clipboard.assign(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    // What is pasted replaces the selection, within the box's length.
    const std::u16string_view inserted(reinterpret_cast<const char16_t*>(clipboard.data()), clipboard.size());
    ReplaceSelection(box, form_.TextPutIn(control, inserted).value_or(std::u16string()));
    return true;
}

bool Win32Form::DropText(POINT screen, std::u16string_view text)
{
    HWND box = WindowFromPoint(screen);
    const std::optional<Control> control = ControlOf(box);
    const std::optional<std::u16string> kept = control ? form_.TextPutIn(*control, text) : std::nullopt;
    if (!kept)
        return false;
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (box == Hwnd(*control) && GetComboBoxInfo(box, &parts) && parts.hwndItem)
        box = parts.hwndItem; // dropped on the button at the combo box's end
    // It goes where it was dropped, as a paste goes where the cursor is.
    POINT at = screen;
    ScreenToClient(box, &at);
    const WORD place = LOWORD(SendMessageW(box, EM_CHARFROMPOS, 0, MAKELPARAM(at.x, at.y)));
    SendMessageW(box, EM_SETSEL, place, place);
    ReplaceSelection(box, *kept);
    return true;
}

} // namespace tallymark
