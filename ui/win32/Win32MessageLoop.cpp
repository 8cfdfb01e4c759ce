// The program's message loop and the nested one of a send's wait: Tab through the
// behaviour's tab order, the keys and the wheel the behaviour may take, the other dialog keys
// through the system's.

#include "ui/win32/Win32Form.h"

namespace tallymark {

namespace {

bool KeyDown(int key)
{
    return GetKeyState(key) < 0;
}

std::optional<Key> KeyOf(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_RETURN: return Key::Enter;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case VK_UP: return Key::Up;
    case VK_DOWN: return Key::Down;
    case VK_PRIOR: return Key::PageUp;
    case VK_NEXT: return Key::PageDown;
    default: return std::nullopt;
    }
}

} // namespace

int Win32Form::Run()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        Dispatch(message);
    return static_cast<int>(message.wParam);
}

void Win32Form::Dispatch(MSG& message)
{
    if (PreTranslate(message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool Win32Form::PreTranslate(MSG& message)
{
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd)))
        return false;
    const bool keyDown = message.message == WM_KEYDOWN;
    if (keyDown && !KeyDown(VK_MENU) && !KeyDown(VK_CONTROL) && message.wParam == VK_TAB) {
        const std::optional<Control> from = ControlOf(GetFocus());
        if (const auto to = form_.NextTabStop(from.value_or(Control::Form1), KeyDown(VK_SHIFT)))
            TabTo(*to);
        return true;
    }
    if (const auto key = KeyOf(message.wParam); keyDown && key) {
        const KeyModifiers modifiers{.shift = KeyDown(VK_SHIFT),
                                     .ctrl = KeyDown(VK_CONTROL),
                                     .alt = KeyDown(VK_MENU),
                                     .meta = KeyDown(VK_LWIN) || KeyDown(VK_RWIN)};
        if (const auto control = ControlOf(GetFocus()); control && form_.KeyPressed(*control, *key, modifiers))
            return true;
    }
    // The wheel's turn goes to the focus (or the window under the pointer), a combo box's
    // edit field among them, which passes it to the combo box as an arrow key of its own.
    if (message.message == WM_MOUSEWHEEL && GET_WHEEL_DELTA_WPARAM(message.wParam) != 0) {
        const bool up = GET_WHEEL_DELTA_WPARAM(message.wParam) > 0;
        if (const auto control = ControlOf(message.hwnd); control && form_.WheelTurned(*control, up))
            return true;
    }
    // Enter and Escape reach the window as IDOK and IDCANCEL, which no control carries.
    return IsDialogMessageW(window_, &message) != FALSE;
}

void Win32Form::TabTo(Control control)
{
    HWND target = Hwnd(control);
    ::SetFocus(target);
    // As in a dialog, a box reached by Tab has its text selected. A combo box selects it by
    // itself only the first time; after a text the program set, its field holds no selection.
    if (RowOf(control).kind == ControlKind::TextBox && GetFocus() == target)
        SendMessageW(target, EM_SETSEL, 0, -1);
    else if (RowOf(control).kind == ControlKind::ComboBox)
        SendMessageW(target, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

void Win32Form::DoEvents()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is ending: the main loop must see it too. A wait that goes on all
            // the same still sleeps between its polls.
            PostQuitMessage(static_cast<int>(message.wParam));
            Sleep(1);
            return;
        }
        Dispatch(message);
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

} // namespace tallymark
