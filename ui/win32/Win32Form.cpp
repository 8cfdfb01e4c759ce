#include "ui/win32/Win32Form.h"

#include <commctrl.h>
#include <dbt.h>
#include <ole2.h>

#include <cstddef>
#include <cwchar>
#include <vector>

#include "link/PortNames.h"
#include "link/SendOperation.h"

#include "settings/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/TextDrop.h"
#include "ui/win32/WindowStyles.h"

namespace tallymark {

namespace {

constexpr wchar_t ClassName[] = L"TallymarkForm1";

std::optional<SpinAction> SpinActionOf(int code)
{
    switch (code) {
    case SB_LINEUP: return SpinAction::ArrowUp;
    case SB_LINEDOWN: return SpinAction::ArrowDown;
    case SB_PAGEUP: return SpinAction::PageUp;
    case SB_PAGEDOWN: return SpinAction::PageDown;
    case SB_TOP: return SpinAction::Top;
    case SB_BOTTOM: return SpinAction::Bottom;
    default: return std::nullopt; // the thumb, and the end of a move
    }
}

std::vector<int> AllPortNumbers()
{
    std::vector<int> numbers;
    for (int n = 1; n <= HighestPortNumber; ++n)
        numbers.push_back(n);
    return numbers;
}

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

Win32Form::Win32Form(HINSTANCE instance, SerialPort& port, SettingsFile& settings)
    : instance_(instance), form_(*this, port, settings)
{
}

Win32Form::~Win32Form()
{
    if (window_)
        DestroyWindow(window_);
    if (windowFont_)
        DeleteObject(windowFont_);
    if (titleFont_)
        DeleteObject(titleFont_);
}

bool Win32Form::Create()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance_, IconName, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                      GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance_, IconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    // Made at the design position and size for the system DPI; sized again only on a
    // monitor of another DPI, since every move of a window is a round of messages.
    const UINT systemDpi = DpiOf(nullptr);
    const Pixels place = InPixels(RowOf(Control::Form1).place, static_cast<int>(systemDpi));
    const SIZE size = WindowSize(systemDpi);
    CreateWindowExW(FormExStyle, ClassName, Utf8ToWide(RowOf(Control::Form1).caption).c_str(), FormStyle, place.left,
                    place.top, size.cx, size.cy, nullptr, nullptr, instance_, this);
    if (!window_)
        return false;
    const UINT dpi = DpiOf(window_);
    if (dpi != systemDpi)
        FitWindow(dpi, {place.left, place.top});
    CreateControls(dpi);
    SetTimer(window_, TimerId, static_cast<UINT>(RowOf(Control::Timer1).value), nullptr);
    return true;
}

void Win32Form::Show(int showCommand)
{
    // Only now: comctl32 finds a control's added procedure through a window property, which
    // under Wine costs a round trip to its server with every message, and the load sends
    // the controls hundreds; what the procedure handles (focus, paste) comes after the show.
    ListenToControls();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (const auto first = form_.FirstTabStop())
        ::SetFocus(Hwnd(*first));
    // Text dropped into a box, once the window is up: OLE's start costs the start-up time.
    // The window works on without it.
    ole_ = SUCCEEDED(OleInitialize(nullptr));
    if (ole_)
        AcceptTextDrops(window_, {[this](POINT at) {
                                      const std::optional<Control> box = ControlOf(WindowFromPoint(at));
                                      return box && form_.TextPutIn(*box, {});
                                  },
                                  [this](POINT at, std::u16string_view text) { return DropText(at, text); }});
}

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
    const bool keyDown = message.message == WM_KEYDOWN && !KeyDown(VK_MENU);
    if (keyDown && !KeyDown(VK_CONTROL) && message.wParam == VK_TAB) {
        const std::optional<Control> from = ControlOf(GetFocus());
        if (const auto to = form_.NextTabStop(from.value_or(Control::Form1), KeyDown(VK_SHIFT)))
            TabTo(*to);
        return true;
    }
    if (const auto key = KeyOf(message.wParam); keyDown && key) {
        const bool modified = KeyDown(VK_SHIFT) || KeyDown(VK_CONTROL);
        if (const auto control = ControlOf(GetFocus()); control && form_.KeyPressed(*control, *key, modified))
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

void Win32Form::RequestClose()
{
    // Posted, as the close box's request is, so that the window never goes away under the
    // button whose click asked for it.
    if (window_)
        PostMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32Form::Forget()
{
    if (ole_) {
        RefuseTextDrops(window_);
        OleUninitialize();
        ole_ = false;
    }
    KillTimer(window_, TimerId);
    KillTimer(window_, RescanTimerId);
    window_ = nullptr;
    lastFocus_ = nullptr;
    controls_.fill(nullptr);
}

std::optional<Control> Win32Form::ControlOf(HWND window) const
{
    // A combo box's edit field is part of it. A window of another program, a message box or
    // the window itself is no control.
    for (; window && window != window_; window = GetParent(window))
        for (const ControlRow& row : Controls())
            if (row.id != Control::Form1 && Hwnd(row.id) == window)
                return row.id;
    return std::nullopt;
}

LRESULT CALLBACK Win32Form::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
        self->controls_[static_cast<std::size_t>(Control::Form1)] = window;
        ScaleFrameWithDpi(window);
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->window_ != window)
        return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's frames; a handler that fails has done nothing.
    try {
        return self->OnMessage(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT Win32Form::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (const auto control = ControlOf(reinterpret_cast<HWND>(lParam)); control && lParam)
            Command(*control, HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
        if (const auto control = ControlOf(reinterpret_cast<HWND>(lParam)); control && lParam)
            Scroll(*control, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == TimerId) {
            form_.Timer1_Timer();
        } else if (wParam == RescanTimerId) {
            KillTimer(window_, RescanTimerId);
            form_.PortsChanged(AllPortNumbers(), [](int number) { return PortDeviceExists(number, {}); });
        }
        return 0;
    case WM_DEVICECHANGE: DeviceChanged(wParam, lParam); return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == Hwnd(Control::Label1)) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(TitleColour.red, TitleColour.green, TitleColour.blue));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETFOCUS:
        // The window is active again: the focus goes back to the control that had it.
        if (lastFocus_ && IsWindowEnabled(lastFocus_))
            ::SetFocus(lastFocus_);
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        FitWindow(HIWORD(wParam), {suggested->left, suggested->top});
        LayOut(HIWORD(wParam));
        return 0;
    }
    case WM_CLOSE: {
        bool cancel = false;
        form_.Form_Unload(cancel);
        if (!cancel && window_)
            DestroyWindow(window_);
        return 0;
    }
    // Windows ends a session (log-off, shutdown, an update's restart, the Restart Manager)
    // without a WM_CLOSE, and ends the process once WM_ENDSESSION returns. The query is only
    // a question, which another program may refuse (WM_ENDSESSION with FALSE): the session
    // and the panel then go on. The end closes the window, and a close question with it.
    case WM_QUERYENDSESSION: form_.Form_QueryEndSession(); return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            form_.Form_EndSession();
            if (window_)
                DestroyWindow(window_);
        }
        return 0;
    case WM_DESTROY:
        Forget();
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Form::DeviceChanged(WPARAM event, LPARAM data)
{
    // The system names the port that came or went; other changes of the device tree (a
    // mouse, a dock, a port's own arrival) may be a port without its name, and are answered
    // after the burst by trying the ports the system now knows that are not listed.
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if ((event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE) && header
        && header->dbch_devicetype == DBT_DEVTYP_PORT
        && header->dbch_size > offsetof(DEV_BROADCAST_PORT_W, dbcp_name)) {
        const auto* port = reinterpret_cast<const DEV_BROADCAST_PORT_W*>(header);
        const std::size_t length = (header->dbch_size - offsetof(DEV_BROADCAST_PORT_W, dbcp_name)) / sizeof(wchar_t);
        const std::wstring name(port->dbcp_name, wcsnlen(port->dbcp_name, length));
        if (const int number = PortNumberOf(WideToUtf8(name)))
            form_.PortsChanged(std::vector<int>{number});
    } else if (event == DBT_DEVNODES_CHANGED) {
        SetTimer(window_, RescanTimerId, RescanDelayMs, nullptr);
    }
}

void Win32Form::Command(Control control, int code)
{
    // The buttons do not change by themselves (BS_3STATE, BS_RADIOBUTTON): the behaviour
    // sets what a click makes of them.
    if (RowOf(control).kind == ControlKind::ComboBox) {
        if (code == CBN_SELCHANGE)
            form_.ItemChosen(control, ListIndex(control));
        else if (code == CBN_DROPDOWN)
            FitList(Hwnd(control));
    } else if (code == BN_CLICKED) {
        form_.Clicked(control);
    }
}

void Win32Form::Scroll(Control control, int code)
{
    // The bar does not move by itself; the behaviour sets where it goes.
    if (RowOf(control).kind != ControlKind::VScrollBar)
        return;
    if (const auto action = SpinActionOf(code))
        form_.SpinnerMoved(control, *action);
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
